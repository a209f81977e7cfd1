#!/usr/bin/env python3
"""Writes the program's window definition block as a C++ source file.

The block is the one piece of data the window is built from: a window list, then for the one
window its record area, each record a common part (kind, name, place, parent, children, flags,
events) followed by the kind's own settings record. Everything is little-endian; texts inside
the records are code page 936.

Usage: make_definition.py BADGE_BMP OUTPUT_CPP [--raise-version NAME] [--truncate BYTES]
  --raise-version NAME  stores the named control's settings record one version too high
                        (a test build: the window must then refuse to build)
  --truncate BYTES      keeps only the first BYTES bytes (a test build: unreadable block)
"""
import argparse
import struct

WINDOW_ID = 0x52010001
WINDOW_CONTROL_ID = 0x06010000

# Kind numbers: (module << 16) + kind index.
MAIN_WINDOW, PICTURE_BOX, LABEL, BUTTON = 0x10001, 0x10006, 0x1000A, 0x1000B
FILE_DIALOG, PICTURE_BUTTON, BROWSER_BOX, DROP_TARGET = 0x1001F, 0x1002D, 0x20001, 0x30001

# Handler references bound at load time; -1 is none.
CREATED_HANDLER, IMPORT_HANDLER, GENERATE_HANDLER, GOT_FILE_HANDLER = 0, 1, 2, 3

VISIBLE, DISABLED, TAB_STOP = 1, 2, 4
BUTTON_FACE = 0xFF000000

LABEL_TEXT = "\r\n".join([
    "iPhone QQKorvane",
    "仅支持格式:GIF/JPG/BMP",
    "不支持PNG!",
    "可点击导入头像或者直接拖入图片",
    "然后生成头像即可!",
    "Q:80012345",
])
PICTURE_FILTER_STORED = "*.bmp "


def u32(v):
    return struct.pack("<I", v & 0xFFFFFFFF)


def i32(v):
    return struct.pack("<i", v)


def text936(s):
    return s.encode("gbk")


def counted(b):
    if isinstance(b, str):
        b = text936(b)
    return u32(len(b)) + b


def nul_text(s):
    return text936(s) + b"\0"


def window_settings(version=6):
    r = u32(version)
    r += i32(2)            # frame style: fixed single
    r += i32(1)            # background-picture layout
    r += u32(BUTTON_FACE)  # background colour
    r += i32(0) + i32(1)   # maximise button, minimise button
    r += i32(1)            # control box
    r += i32(1)            # start position: centred
    r += i32(1)            # movable
    r += i32(0)            # background music playing
    r += i32(0) + i32(1)   # Enter moves focus, Esc closes
    r += i32(0) + i32(0)   # F1 opens help, help topic
    r += i32(1)            # shown in the taskbar (version 2)
    r += i32(0) + i32(0)   # drag by any point, window shape (version 3)
    r += i32(0)            # always on top (version 4)
    r += i32(0)            # caption bar stays active (version 5)
    r += counted("")       # window class name (version 6)
    r += counted(b"") + counted(b"") + counted(b"")  # background picture, icon, music
    r += counted("Korvane")
    r += counted("")       # help file
    return r


def label_settings(text, version=2):
    r = u32(version)
    r += i32(0) + i32(8) + i32(0)  # text effect, shaded-frame width, frame style
    r += u32(0x808080) + u32(0xFFFFFF) + u32(0x808080)
    r += u32(0x000000)             # text colour
    r += u32(BUTTON_FACE)          # background colour
    r += i32(1) + i32(0)           # picture layout, shaded background
    r += u32(0x808080) + u32(0xFFFFFF) + u32(0x808080)
    r += i32(0) + i32(1) + i32(1)  # horizontal alignment, vertical alignment, word wrap
    r += counted(b"") + counted(b"")  # font, picture
    r += counted(text)
    r += counted("") + counted("")    # data source, data column (version 2)
    return r


def button_settings(caption, version=1):
    return u32(version) + i32(0) + i32(1) + i32(1) + counted(b"") + counted(b"") + counted(caption)


def browser_settings(version=1):
    return u32(version) + i32(2) + i32(0) + i32(1) + counted("")


def picture_box_settings(version=2):
    r = u32(version) + i32(0) + u32(0x00FFFFFF) + i32(1) + i32(1) + counted(b"")
    if version >= 2:
        r += counted(b"") + counted(b"")
    return r


def picture_button_settings(badge, version=1):
    return (u32(version) + u32(0) + u32(0) + u32(0x00FF00FF) + counted(badge)
            + counted(b"") + counted(b"") + counted(b""))


def file_dialog_settings(dialog_type, filter_text, default_ext, version=1):
    r = u32(version)
    r += i32(dialog_type) + i32(0)  # dialog type, initial filter index
    r += i32(0) + i32(1) + i32(1) + i32(1) + i32(0)  # create prompt, must exist, overwrite, path, keep dir
    r += b"".join(i32(0) for _ in range(8))
    r += counted("") + counted("") + counted(filter_text) + counted("") + counted(default_ext)
    r += counted("") + counted("")
    return r


def drop_target_settings(version=1):
    return u32(version) + i32(0) + i32(0) + i32(0) + i32(1)


def common_record(kind, name, place, parent, children, flags, events, settings):
    left, top, width, height = place
    r = u32(kind) + b"\0" * 20
    r += nul_text(name) + nul_text("")  # name, remark
    r += u32(0)                          # object slot
    r += i32(left) + i32(top) + i32(width) + i32(height)
    r += u32(0)                          # pointer slot
    r += u32(parent)
    r += u32(len(children)) + b"".join(u32(c) for c in children)
    r += counted(b"\0\0\0\0")            # mouse pointer: the default arrow
    r += nul_text("")                    # tag
    r += u32(0)
    r += u32(flags)
    r += i32(0)                          # tab order
    r += u32(len(events)) + b"".join(u32(e) + i32(h) for e, h in events)
    r += b"\0" * 20
    return r + settings


def controls(badge, raised):
    def v(name, version):
        return version + 1 if raised == name else version

    # Rows in the order of the control table; the window's own record comes first.
    return [
        (WINDOW_CONTROL_ID, common_record(MAIN_WINDOW, "", (50, 50, 163, 306), 0, [], VISIBLE,
                                          [(0, CREATED_HANDLER)], window_settings(v("window", 6)))),
        (0x16010032, common_record(DROP_TARGET, "拖放对象1", (114, 234, 48, 30), 0, [], 0,
                                   [(3, GOT_FILE_HANDLER)], drop_target_settings(v("拖放对象1", 1)))),
        (0x16010031, common_record(LABEL, "标签1", (2, 183, 153, 82), 0, [], VISIBLE, [],
                                   label_settings(LABEL_TEXT, v("标签1", 2)))),
        (0x16010030, common_record(BROWSER_BOX, "超文本浏览框1", (1, 1, 1, 1), 0, [], VISIBLE | TAB_STOP, [],
                                   browser_settings(v("超文本浏览框1", 1)))),
        (0x16010028, common_record(PICTURE_BUTTON, "图形按钮1", (94, 71, 60, 83), 0x1601000C, [], VISIBLE, [],
                                   picture_button_settings(badge, v("图形按钮1", 1)))),
        (0x16010026, common_record(FILE_DIALOG, "通用对话框1", (312, 280, 24, 48), 0, [], 0, [],
                                   file_dialog_settings(1, PICTURE_FILTER_STORED, "bmp", v("通用对话框1", 1)))),
        (0x1601001D, common_record(BUTTON, "按钮2", (78, 153, 72, 24), 0, [], VISIBLE | TAB_STOP,
                                   [(0, GENERATE_HANDLER)], button_settings("生成头像", v("按钮2", 1)))),
        (0x1601000C, common_record(PICTURE_BOX, "图片框1", (2, 1, 150, 150), 0, [0x16010028], VISIBLE, [],
                                   picture_box_settings(v("图片框1", 2)))),
        (0x16010008, common_record(BUTTON, "按钮1", (3, 152, 72, 24), 0, [], VISIBLE | TAB_STOP,
                                   [(0, IMPORT_HANDLER)], button_settings("导入头像", v("按钮1", 1)))),
        (0x16010003, common_record(FILE_DIALOG, "通用对话框2", (249, 300, 32, 24), 0, [], 0, [],
                                   file_dialog_settings(0, "", "", v("通用对话框2", 1)))),
    ]


def block(badge, raised=None):
    records = controls(badge, raised)
    ids = b"".join(u32(cid) for cid, _ in records)
    offsets, body = b"", b""
    for _, rec in records:
        offsets += u32(len(body))
        body += u32(len(rec)) + rec
    area = ids + offsets + body
    window = u32(0x2601130C) + u32(0x19010004) + counted("") + counted("")
    window += u32(len(records)) + u32(len(area)) + area
    return u32(8) + u32(WINDOW_ID) + u32(0) + window


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("badge")
    ap.add_argument("output")
    ap.add_argument("--raise-version")
    ap.add_argument("--truncate", type=int)
    a = ap.parse_args()
    with open(a.badge, "rb") as f:
        badge = f.read()
    data = block(badge, a.raise_version)
    if a.truncate is not None:
        data = data[:a.truncate]
    lines = []
    for i in range(0, len(data), 24):
        lines.append("  " + ", ".join("0x%02X" % b for b in data[i:i + 24]) + ",")
    with open(a.output, "w") as f:
        f.write("// Generated by app/make_definition.py: the window definition block.\n")
        f.write("#include \"app/window_definition.h\"\n\nnamespace korvane {\n\n")
        f.write("const unsigned char kWindowDefinitionBlock[] = {\n")
        f.write("\n".join(lines) if lines else "  0,")
        f.write("\n};\nconst size_t kWindowDefinitionBlockSize = %d;\n\n}  // namespace korvane\n" % len(data))


if __name__ == "__main__":
    main()
