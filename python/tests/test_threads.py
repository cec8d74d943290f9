"""Threads: large copies run with the GIL released, a message touched by
another thread meanwhile refuses with RuntimeError instead of racing, and
threads with messages of their own get their own results."""

import threading

import kxli

MIB = 1024 * 1024


def test_a_large_copy_releases_the_gil_and_guards_its_message():
    message = kxli.Message()
    text = "x" * (16 * MIB)
    refusals = []
    done = threading.Event()

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
            message.write(text)
    finally:
        done.set()
        toucher.join()
    assert refusals and refusals[0] == "the message is in use by another thread"
    assert bytes(message) == text.encode()  # the message is usable again


def test_threads_with_messages_of_their_own():
    results = []

    def road(letter):
        text = letter * (2 * MIB)
        for _ in range(10):
            message = kxli.Message()
            message.write(text)
            message.write(kxli.DeadLetterHeader(put_date=letter))
            message.data_offset = 0
            header = message.read(kxli.DeadLetterHeader)
            results.append(header.put_date == letter and message.read(str) == text)

    threads = [threading.Thread(target=road, args=(letter,)) for letter in "abcd"]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert results == [True] * 40
