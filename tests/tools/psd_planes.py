#!/usr/bin/python3
"""Writes the decoded channel planes of every layer record of a PSD, as read by
psd_tools, to OUT/<record>_<channel id>.raw (records counted from 0, bottom
first). Prints the number of records. Used to check our reader independently."""
import os
import sys

from psd_tools.psd import PSD


def main():
    path, out = sys.argv[1], sys.argv[2]
    with open(path, 'rb') as f:
        psd = PSD.read(f)
    info = psd.layer_and_mask_information.layer_info
    for index, (record, channels) in enumerate(zip(info.layer_records, info.channel_image_data)):
        width, height = record.width, record.height
        if width <= 0 or height <= 0:
            continue
        for channel_info, channel in zip(record.channel_info, channels):
            if channel_info.id < -1:
                continue  # masks have rectangles of their own
            data = channel.get_data(width, height, psd.header.depth, psd.header.version)
            with open(os.path.join(out, '%d_%d.raw' % (index, channel_info.id)), 'wb') as plane:
                plane.write(data)
    print(len(info.layer_records))


if __name__ == '__main__':
    main()
