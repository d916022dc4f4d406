#!/usr/bin/env python3
"""Makes and checks the byte arrays of the program's built-in texts (settings/builtin_texts.cpp).

Each text is stored as one length byte followed by its bytes, each combined by exclusive-or
with one key byte, so the plain texts stand neither in the source nor in the executable. This
script holds no text itself: give the texts on the command line.

  scramble.py NAME=TEXT...          print one C++ array per text
  scramble.py --check SOURCE FILE   unscramble every array of SOURCE and fail when FILE
                                    holds any of the plain texts
"""
import re
import sys

KEY = 0xA5  # the same as kScrambleKey in settings/builtin_texts.h


def scramble(text: str) -> bytes:
    data = text.encode("cp1252")
    if len(data) > 255:
        raise ValueError("a built-in text holds at most 255 characters")
    return bytes([len(data)]) + bytes(b ^ KEY for b in data)


def as_cpp(name: str, text: str) -> str:
    body = ", ".join(f"0x{b:02X}" for b in scramble(text))
    return f"// {len(text)} characters\nconstexpr std::uint8_t {name}[] = {{{body}}};"


def arrays_of(source_path: str):
    with open(source_path, encoding="utf-8") as f:
        source = f.read()
    for body in re.findall(r"std::uint8_t\s+\w+\[\]\s*=\s*\{([^}]*)\}", source):
        data = [int(x, 16) for x in re.findall(r"0x[0-9A-Fa-f]{2}", body)]
        if data:
            yield bytes(b ^ KEY for b in data[1 : 1 + data[0]])


def check(source_path: str, binary_path: str) -> int:
    with open(binary_path, "rb") as f:
        blob = f.read()
    texts = list(arrays_of(source_path))
    found = [t for t in texts if t and t in blob]
    for t in found:
        print(f"plain text found in {binary_path}: {t.decode('cp1252')!r}")
    print(f"{len(texts)} texts checked, {len(found)} found in plain form")
    return 1 if found or not texts else 0


def main(argv):
    if len(argv) == 4 and argv[1] == "--check":
        return check(argv[2], argv[3])
    if len(argv) < 2 or any("=" not in a for a in argv[1:]):
        print(__doc__)
        return 2
    for arg in argv[1:]:
        name, text = arg.split("=", 1)
        print(as_cpp(name, text))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
