#!/usr/bin/python3
"""Opens a PSD with psd_tools' high-level reader, decodes every layer and the
merged image, and prints the number of layers. Exits non-zero on any error."""
import sys

from psd_tools import PSDImage


def main():
    psd = PSDImage.open(sys.argv[1])
    count = 0
    for layer in psd.descendants():
        layer.topil()
        count += 1
    psd.topil()
    print(count)


if __name__ == '__main__':
    main()
