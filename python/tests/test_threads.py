"""A large copy releases the GIL, its message refusing other threads meanwhile."""

import threading

import kxli

MIB = 1024 * 1024


def test_a_large_copy_releases_the_gil_and_guards_its_message():
    message, refusals, done = kxli.Message(), [], threading.Event()

    def touch():
        while not done.is_set():
            try:
                message.length
            except RuntimeError as error:
                refusals.append(str(error))

    toucher = threading.Thread(target=touch)
    toucher.start()
    try:
        for _ in range(20):
            message.write("x" * (16 * MIB))
    finally:
        done.set()
        toucher.join()
    assert refusals and refusals[0] == "the message is in use by another thread"
    assert bytes(message) == b"x" * (16 * MIB)  # the message is usable again


def test_threads_with_messages_of_their_own():
    results = []

    def road(letter):
        for _ in range(10):
            message = kxli.Message()
            message.write(letter * (2 * MIB))
            message.write(kxli.DeadLetterHeader(put_date=letter))
            message.data_offset = 0
            header = message.read(kxli.DeadLetterHeader)
            results.append(header.put_date == letter and message.read(str) == letter * (2 * MIB))

    threads = [threading.Thread(target=road, args=(letter,)) for letter in "abcd"]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert results == [True] * 40
