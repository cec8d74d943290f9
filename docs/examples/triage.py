"""The guide's triage of dead-letter messages saved as message files (one
file per message, as `kxmsg build` and Message.save write them): each is
grouped by the queue it was meant for, and what it carried is saved with
the dead-letter header taken off, ready to be put again. Run with no
arguments, it makes a few messages of its own in a temporary directory,
triages them and exits 1, naming the step, when the result is not what the
guide says; with two arguments it triages DIRECTORY into RETRY_DIRECTORY."""

import collections
import pathlib
import sys
import tempfile

import kxli


# guide: triage
def triage(directory, retry_directory):
    """Returns {"QMGR/QUEUE": [file names]} and the files that are no
    dead-letter message; saves what each dead letter carried in
    retry_directory under its own name."""
    by_queue = collections.defaultdict(list)
    refused = {}
    for path in sorted(pathlib.Path(directory).glob("*.msg")):
        try:
            message = kxli.Message.load(path)
            header = message.read(kxli.DeadLetterHeader)
        except (OSError, kxli.Error) as error:
            refused[path.name] = error
            continue
        queue = header.destination_queue_manager_name + "/" + header.destination_queue_name
        by_queue[queue].append(path.name)
        # After the read the message describes what the header carried.
        carried = kxli.Message(bytes(message)[message.data_offset:], format=message.format,
                               encoding=message.encoding,
                               character_set=message.character_set)
        carried.message_id = message.message_id
        carried.correlation_id = message.correlation_id
        carried.save(pathlib.Path(retry_directory) / path.name)
    return by_queue, refused
# guide: end


def report(dlq, retry):
    # guide: report
    by_queue, refused = triage(dlq, retry)
    for queue, names in sorted(by_queue.items()):
        print("%-24s %d message(s): %s" % (queue, len(names), ", ".join(names)))
    for name, error in sorted(refused.items()):
        print("%s: not a dead letter: %s" % (name, error))
    # guide: end
    return by_queue, refused


def dead_letter(queue, manager, body):
    message = kxli.Message()
    message.write(body)
    message.message_id = bytes(range(24))
    message.write(kxli.DeadLetterHeader(destination_queue_name=queue,
                                        destination_queue_manager_name=manager,
                                        put_application_name="router"))
    return message


def check_on_messages_of_its_own():
    failures = []

    def check(condition, what):
        if not condition:
            print("triage.py: not as the guide says: " + what, file=sys.stderr)
            failures.append(what)

    with tempfile.TemporaryDirectory() as dlq, tempfile.TemporaryDirectory() as retry:
        dead_letter("ORDERS.IN", "QM.WEST", "order 1").save(dlq + "/1.msg")
        dead_letter("ORDERS.IN", "QM.WEST", b"\x00\x01").save(dlq + "/2.msg")
        dead_letter("BILLING", "QM.EAST", "invoice 7").save(dlq + "/3.msg")
        plain = kxli.Message()
        plain.write("no header")
        plain.save(dlq + "/4.msg")
        by_queue, refused = report(dlq, retry)
        check(dict(by_queue) == {"QM.WEST/ORDERS.IN": ["1.msg", "2.msg"],
                                 "QM.EAST/BILLING": ["3.msg"]}, "grouped by queue")
        check(list(refused) == ["4.msg"] and refused["4.msg"].reason_code == 6107,
              "a message without the header is refused with 6107")
        order = kxli.Message.load(retry + "/1.msg")
        check(order.items() == ["order 1"] and order.format == "KXSTR   ",
              "the text carried, as it was before the header")
        check(order.message_id == bytes(range(24)), "the message id kept")
        check(bytes(kxli.Message.load(retry + "/2.msg")) == b"\x00\x01", "the bytes carried")
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) == 3:
        report(sys.argv[1], sys.argv[2])
        sys.exit(0)
    sys.exit(check_on_messages_of_its_own())
