"""The guide's road of one message in Python: a text with a dead-letter
header in front, the same bytes read back by a receiver, the chain walked,
a failure and a warning. Exits 1, naming the step, when kxli does not do
what the guide says. Given a path, it saves the message it sent there (a
test compares those bytes with the C++ road's)."""

import sys
import warnings

# guide: import
import kxli
# guide: end

failures = []


def check(condition, what):
    if not condition:
        print("road.py: not as the guide says: " + what, file=sys.stderr)
        failures.append(what)


def send():
    # guide: send
    message = kxli.Message()
    message.write("Order 4711 could not be delivered")  # format "KXSTR   "
    header = kxli.DeadLetterHeader(destination_queue_name="ORDERS.IN",
                                   destination_queue_manager_name="QM.WEST")
    message.write(header)  # 172-byte record + text, format "KXDEAD  "
    # guide: end
    check(message.format == "KXDEAD  ", "the message's format is the header's")
    check(header.format == "KXSTR   ", "the header records the text's format")
    check(message.length == 172 + 33, "172-byte record and 33 bytes of text")
    return message


def receive(data):
    # guide: receive
    received = kxli.Message(data, format="KXDEAD  ")  # as it arrived
    dead = received.read(kxli.DeadLetterHeader)  # the message says "KXSTR   " again
    body = received.read(str)  # the rest of the data
    # guide: end
    check(dead.destination_queue_name == "ORDERS.IN", "the queue name read back")
    check(body == "Order 4711 could not be delivered", "the text read back")
    check(received.data_offset == received.length, "the text was read to the end")


def walk(message):
    # guide: walk
    for item in message.items():  # from data offset 0; the message stays as it is
        if isinstance(item, kxli.Header):
            print(type(item).__name__, item.destination_queue_name)
        else:
            print("body:", item)
    # guide: end
    chain = message.items()
    check([type(item) for item in chain] == [kxli.DeadLetterHeader, kxli.TextBody],
          "the chain is the header, then the text")
    check(chain[0].to_dict()["destination_queue_manager_name"] == "QM.WEST",
          "to_dict() names the fields in snake case")


def failure():
    # guide: failure
    received = kxli.Message(b"no header here", format="KXDEAD  ")
    try:
        received.read(kxli.DeadLetterHeader)
    except kxli.Error as error:
        print(error.reason_code, error.reason)  # 6107 KXRC_WRONG_STRUCTURE_ID
        print(error.text)  # KxlDeadLetterHeader::pasteIn (error): wrong structure id
    # guide: end
        check(error.reason == "KXRC_WRONG_STRUCTURE_ID", "the reason's name")
        check(error.text.endswith("wrong structure id"), "the library's text")
    else:
        check(False, "a read of no header fails")


def warning():
    header = kxli.DeadLetterHeader()
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        # guide: warning
        header.put_application_name = "nightly-settlement-batch-runner"  # 31 bytes: cut to 28
        # guide: end
    check(len(caught) == 1 and caught[0].category is kxli.Warning, "one kxli.Warning")
    check(header.put_application_name == "nightly-settlement-batch-run", "cut to 28 bytes")


def main():
    message = send()
    receive(bytes(message))
    walk(message)
    failure()
    warning()
    if len(sys.argv) > 1:
        message.save(sys.argv[1])
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
