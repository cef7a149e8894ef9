#!/usr/bin/env python3
"""Writes data/python_csv_reference.txt: random comma-separated texts and the
records Python's csv module reads from them, as an independent reference for
the record parser.

Only texts on which both grammars are defined alike are kept: every quote is
closed (at the end of the text Python drops an unclosed quote, the parser
keeps it as text) and no line is made of blanks and control characters only
(Python gives such a line one field, the parser none).

File format, one case after another, bytes as hex ("-" for none):
    <input>
    <record count>
    <field count> <field> <field> ...   (one line per record)
"""
import csv
import io
import random
import re
import sys

TOKENS = ['a', 'bc', 'あ', 'ｶﾅ', '漢字', ',', ',', '"', '""', '\r', '\n', '\r\n',
          ' ', '\t', '"x,y"', '"p\r\nq"', '"r""s"', 'z"w']


def blank_line(text):
    return any(line and all(ord(c) <= 0x20 for c in line)
               for line in re.split(r'\r\n|\r|\n', text))


def read(text):
    return list(csv.reader(io.StringIO(text, newline='')))


def hexed(text):
    return text.encode('utf-8').hex() or '-'


def main():
    random.seed(4180)
    out = []
    cases = 0
    while cases < 600:
        text = ''.join(random.choice(TOKENS) for _ in range(random.randint(0, 14)))
        if blank_line(text):
            continue
        records = read(text)
        # Ending inside quotes is what makes one more quote change nothing;
        # this also drops a few texts that end at an empty field.
        if records == read(text + '"'):
            continue
        out.append(hexed(text))
        out.append(str(len(records)))
        for record in records:
            out.append(' '.join([str(len(record))] + [hexed(f) for f in record]))
        cases += 1
    path = sys.argv[1] if len(sys.argv) > 1 else 'data/python_csv_reference.txt'
    with open(path, 'w', encoding='ascii', newline='\n') as f:
        f.write('\n'.join(out) + '\n')


if __name__ == '__main__':
    main()
