#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/.

Run it again after changing a seed here; the files it writes are committed, and running it
twice gives the same files. The layout seeds also take every layout string found in src/.
"""
import os
import re
import shutil
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
CORPUS = os.path.join(HERE, "corpus")


def write(target, name, data):
    if isinstance(data, str):
        data = data.encode("latin-1")
    d = os.path.join(CORPUS, target)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)


def f32(x):
    return struct.pack(">f", x)


def u32(x):
    return struct.pack(">I", x & 0xFFFFFFFF)


# ---------------------------------------------------------------------------- readers
REAL_FIELDS = {
    "blank_inside": "1 500",
    "exponent": "1.5E3",
    "leading_blanks_exponent": "  1.5E3",
    "comma": "12,5",
    "leading_zero": "07",
    "integer": "123",
    "integer_point": "1500.",
    "bare_sign_exponent": "1.5-3",
    "d_exponent": "1D3",
    "q_exponent": "2.5q-2",
    "inf": "inf",
    "infinity_mixed_case": "-InFiNiTy  ",
    "nan_payload": "nan(x)",
    "nan_bad_payload": "nan(x",
    "huge_exponent": "1E10000",
    "tiny_exponent": "1E-10000",
    "overflow": "3.5e38",
    "underflow_to_subnormal": "1.4e-45",
    "empty": "",
    "blanks": "      ",
    "minus_alone": "-",
    "point_alone": ".",
    "two_points": "1.2.3",
    "letters": "abc",
    "unit_after_number": "1500 MHz",
    "tab": "15\t00",
    "thirteen_columns": "1234567890123",
    "blanks_everywhere": " - 1 . 5 e - 3 ",
    "halfway_many_digits": "16777217.0000000000000000000000000000000001",
    # Past 800 significant digits only a nonzero digit's presence counts: just above halfway.
    "halfway_beyond_800_digits": "16777217." + "0" * 900 + "1",
    "exponent_without_digits": "1E",
    "exponent_sign_only": "1E+",
}
for name, field in REAL_FIELDS.items():
    write("fuzz_read_real", name, b"\x00" + field.encode())
# Decimals scale a field without a point.
for name, field, d in [("scaled_d2", "12345", 2), ("scaled_d3_point", "12.345", 3), ("scaled_d31", "7", 31),
                       ("scaled_large_d", "1", 255)]:
    write("fuzz_read_real", name, bytes([d]) + field.encode())

INT_FIELDS = {
    "blank_inside": "1 500",
    "leading_zero": "07",
    "blank_then_digit": " 7",
    "two_columns_of_123": "12",
    "minus_one": "-1",
    "plus_alone": "+",
    "point_after": "1.",
    "letter": "a",
    "empty": "",
    "blanks": "   ",
    "max": "2147483647",
    "min": "-2147483648",
    "just_over": "2147483648",
    "many_leading_zeros": "0000000000000000042",
    "comma": "12,5",
    "exponent": "1.5E3",
    "sign_blank_digits": "- 1 2",
}
for name, field in INT_FIELDS.items():
    write("fuzz_read_int", name, field)

TEXT_FIELDS = [
    ("name_a20", 20, 20, "report.txt"),
    ("leading_blanks", 20, 20, "  x"),
    ("long_answer", 20, 20, "abcdefghijklmnopqrstuvwxy"),
    ("comma_and_tab", 20, 20, "a,b\tc d"),
    ("narrow_field", 12, 20, "Tchebyscheff"),
    ("wide_field", 30, 20, "123456789012345678901234567890"),
    ("target_takes_width", 20, 0, "ELECTRICAL.TXT"),
    ("zero_width", 0, 0, "x"),
    ("empty_record", 20, 20, ""),
]
for name, w, ln, rec in TEXT_FIELDS:
    write("fuzz_read_text", name, bytes([w, ln]) + rec.encode())

# ---------------------------------------------------------------------------- writers
# float bits, w-1, d, integer, text width, text
WRITES = [
    ("half_away", 0.125, 6, 2, 5, 20, "Tchebyscheff"),
    ("stored_below_half", 2.675, 7, 2, 12, 12, "Tchebyscheff"),
    ("stored_above_half", 12.345, 7, 2, -3, 10, "Microstrip"),
    ("too_wide", 12345.678, 7, 2, 100, 20, "ELECTRICAL.TXT"),
    ("negative_rounds_to_zero", -0.004, 7, 2, -10, 20, ""),
    ("half", 0.5, 7, 2, 0, 4, "abc"),
    ("lone_zero", 0.1234, 6, 4, 7, 20, "x"),
    ("no_spare_column", -0.1234, 6, 4, -2147483647, 2, "x"),
    ("centre_frequency", 3000.0, 9, 3, 2013, 4, "x"),
    ("ripple", 0.1, 5, 3, 41, 20, "x"),
    ("negative_zero", -0.0, 7, 2, -2147483648, 20, "x"),
    ("max_float", 3.4028234663852886e38, 30, 0, 2147483647, 30, "x"),
    ("subnormal", 1.401298464324817e-45, 30, 29, 1, 1, "x"),
    ("nine_digits", 1.2345678, 30, 25, 1, 1, "x"),
]
for name, x, w, d, i, tw, text in WRITES:
    write("fuzz_write_fields", name, f32(x) + bytes([w - 1, d]) + u32(i) + bytes([tw]) + text.encode())
for name, bits, w in [("nan", 0x7FC00000, 7), ("inf_wide", 0x7F800000, 8), ("inf_narrow", 0x7F800000, 3),
                      ("minus_inf_wide", 0xFF800000, 9), ("minus_inf_mid", 0xFF800000, 4),
                      ("minus_inf_three", 0xFF800000, 3), ("nan_narrow", 0x7FC00000, 2)]:
    write("fuzz_write_fields", name, u32(bits) + bytes([w - 1, 0]) + u32(5) + bytes([2]) + b"ab")

# ---------------------------------------------------------------------------- layouts
def source_layouts():
    """Every layout string of the program: adjacent C++ literals joined, starting with '('."""
    found = set()
    lit = re.compile(r'"((?:[^"\\\n]|\\.)*)"')
    for d in ("src/dialogue", "src/lines", "src/textio"):
        for fn in sorted(os.listdir(os.path.join(ROOT, d))):
            if not fn.endswith((".cpp", ".h")):
                continue
            text = open(os.path.join(ROOT, d, fn), encoding="utf-8").read()
            pos = 0
            while True:
                m = lit.search(text, pos)
                if not m:
                    break
                parts = [m.group(1)]
                end = m.end()
                while True:
                    n = re.compile(r'\s*"((?:[^"\\\n]|\\.)*)"').match(text, end)
                    if not n:
                        break
                    parts.append(n.group(1))
                    end = n.end()
                pos = end
                s = "".join(parts).replace('\\"', '"').replace("\\\\", "\\")
                if s.startswith("(") and s.endswith(")"):
                    found.add(s)
    return sorted(found)


def layout_seed(layout, records="", values=b"", flags=0):
    return bytes([flags]) + layout.encode("latin-1") + b"\x00" + records.encode("latin-1") + b"\x00" + values


# Values for the data items: mostly small numbers of the size the program prints.
PLAIN_VALUES = b"\x00" + b"".join(bytes([0]) + struct.pack(">h", 1234 + 7 * k) for k in range(16))
for k, layout in enumerate(source_layouts()):
    write("fuzz_layout", "program_%02d" % k, layout_seed(layout, "3000\n900\n", PLAIN_VALUES))

LAYOUTS = [
    ("f13_plain", "(F13.0)", "1500\n  1.5E3\n"),
    ("f13_comma", "(F13.0)", "12,5\n1 500\n"),
    ("f13_bad", "(F13.0)", "abc\n1500 MHz\n"),
    ("f13_long", "(F13.0)", "12345678901234567\n\n"),
    ("i2_menu", "(I2)", "123\n1.\n"),
    ("i2_sign", "(I2)", "-1\n+\n"),
    ("a20_name", "(A20)", "report.txt\n  x\n"),
    ("a_target_length", "(A)", "abcdefghijklmnopqrstuvwxyz\n"),
    ("crlf_records", "(F13.0)", "1\r\n2\r\n"),
    ("cr_records", "(I2)", "1\r2\r"),
    ("no_line_end", "(F13.0)", "42"),
    ("end_of_input", "(F13.0)", ""),
    ("fields_and_blanks", "(2X,I3,1X,F6.2,A4)", "  123 45.678abcd\n"),
    ("comma_between", "(I5,F8.0,I5)", "12,3.5,7\n"),
    ("hollerith_dashes", "(6X,72(1H-))", ""),
    ("slashes", "(//,'a',/,'b'///)", ""),
    ("doubled_apostrophe", "('it''s',I2)", ""),
    ("nested_groups", "(2(I2,2(F5.1,'|')),A3)", "1 2 3 4 5 6 7 8 9\n"),
    ("items_after_last_value", "(I2,' %',I2,' end')", ""),
    ("invalid_open", "(", ""),
    ("invalid_real_width", "(F13)", ""),
    ("invalid_hollerith", "(5Habc", ""),
    ("invalid_blanks", "(X)", ""),
    ("invalid_trailing", "(I2)x", ""),
    ("invalid_separator", "(I2 I3)", ""),
    ("deep_nesting", "(" + "1(" * 22 + "1X" + ")" * 22 + ")", ""),
    ("big_expansion", "(99999(99999X))", ""),
    ("moderate_expansion", "(30(20(1X,'.'),/))", ""),
    ("wide_blanks", "(1000000X)", ""),
    ("many_decimals", "(F30.29,F40.39)", "1.5\n"),
]
for name, layout, records in LAYOUTS:
    write("fuzz_layout", name, layout_seed(layout, records, PLAIN_VALUES))
# A value of the wrong type, standard error as the unit, unconnected units.
write("fuzz_layout", "wrong_type", layout_seed("(I2,F5.1)", "1 2.5\n", PLAIN_VALUES, flags=0x06))
write("fuzz_layout", "standard_error", layout_seed("('x',I3)", "7\n", PLAIN_VALUES, flags=0x10))
write("fuzz_layout", "unconnected_units", layout_seed("('x',I3)", "7\n", PLAIN_VALUES, flags=0x18))

# ---------------------------------------------------------------------------- conversation
SHIPPED = open(os.path.join(ROOT, "Quendrix.DEF"), "rb").read().decode("latin-1")


def script(*answers, end="\n"):
    return "".join(a + end for a in answers)


def with_defaults(defaults, s):
    return defaults + "\x00" + s


BLANK_DESIGN = [""] * 7  # f0, bandwidth, response, ripple, method, N, impedance
CONVERSATIONS = {
    "all_default": script(*BLANK_DESIGN, "", ""),
    "worked_example_both_stored": script(*BLANK_DESIGN, "1", "", "1", "", "", "", "", "1", "", "4"),
    "worked_example_typed": script("3000", "900", "1", "0.1", "1", "5", "50", "1", "elec.txt", "1", "1", "0.031",
                                   "2.2", "0.0014", "1", "dim.txt", "4"),
    "derived_n": script("3000", "900", "1", "0.1", "2", "3600", "40", "50", "", "3"),
    "derived_n_butterworth_new_design": script("2400", "1000", "2", "2", "2000", "-30", "75", "", "1", "2", "", "",
                                                "", "", "2", *BLANK_DESIGN, "", ""),
    "derived_n_fails": script("", "", "", "0.05", "2", "3600", "0.01", "1", "", "", "", ""),
    "derived_n_above_pole_limit": script("", "", "", "", "2", "3451", "300", "1", "", "", "", ""),
    "pole_limit": script("", "", "", "", "1", "41", "1", "40", "", "", "3"),
    "pole_limit_then_derived": script("", "", "", "", "", "1000", "5", "2000", "60", "", "", "3"),
    "microstrip_stripline_reruns": script(*BLANK_DESIGN, "", "1", "1", "0.025", "10.2", "0.0007", "2", "3", "2",
                                          "0.062", "2.2", "0.0014", "1", "strip.txt", "3", "", "", "", "", "",
                                          "2", *BLANK_DESIGN, "", "3"),
    "frequency_analysis_choice": script(*BLANK_DESIGN, "", "1", "", "", "", "", "", "1"),
    "unrealizable_widths": script("3000", "900", "1", "0.1", "1", "3", "500", "", "1", "", "0.001", "", "", "", "3",
                                  "2", "", "", "", "", "4"),
    "extreme_answers": script("1e38", "inf", "1.5", "nan", "-1", "1.4", "1E10000", "", "1", "2", "1e-30", "0.5",
                              "1e30", "", "4"),
    "very_wide_band": script("3000", "6000", "2", "1", "3", "10", "", "1", "", "", "", "", "", "4"),
    "menu_values": script(*BLANK_DESIGN, "", "12"),
    "menu_three_digits": script(*BLANK_DESIGN, "", "123"),
    "menu_negative": script(*BLANK_DESIGN, "", "-1"),
    "bad_value_first_answer": script("abc"),
    "bad_value_with_unit": script("1500 MHz"),
    "bad_menu_point": script(*BLANK_DESIGN, "", "1."),
    "bad_menu_letter": script(*BLANK_DESIGN, "", "x"),
    "bad_storage_answer": script(*BLANK_DESIGN, "yes"),
    "eof_empty": "",
    "eof_after_bandwidth": script("3000", "900"),
    "eof_at_storage": script(*BLANK_DESIGN),
    "eof_at_filename": script(*BLANK_DESIGN, "1"),
    "eof_at_first_menu": script(*BLANK_DESIGN, ""),
    "eof_at_construction": script(*BLANK_DESIGN, "", "1"),
    "eof_at_last_menu": script(*BLANK_DESIGN, "", "1", "", "", "", "", ""),
    "crlf_input": script(*BLANK_DESIGN, "1", "crlf.txt", "1", "", "", "", "", "1", "", "4", end="\r\n"),
    "cr_input": script(*BLANK_DESIGN, "", "1", "2", "", "", "", "", "4", end="\r"),
    "no_final_line_end": script(*BLANK_DESIGN, "") + "3",
    "same_file_both_reports": script(*BLANK_DESIGN, "1", "SAME.TXT", "1", "", "", "", "", "1", "SAME.TXT", "4"),
    "store_as_defaults_file": script(*BLANK_DESIGN, "1", "Quendrix.DEF", "Quendrix.DEF   ", "ok.txt", ""),
    "store_default_name_twice": script(*BLANK_DESIGN, "1", "", "2", *BLANK_DESIGN, "1", "", ""),
    "long_and_odd_names": script(*BLANK_DESIGN, "1", "a_name_longer_than_twenty.txt", "1", "", "", "", "", "1",
                                 "  lead.txt", "3", "", "", "", "", "1", "../escape", "4"),
    "name_is_a_folder": script(*BLANK_DESIGN, "1", ".."),
}
for name, s in CONVERSATIONS.items():
    write("fuzz_conversation", name, s)

ALL_BLANK = script(*BLANK_DESIGN, "", "")
lines = SHIPPED.split("\n")


def replace_line(n, text):
    ls = list(lines)
    ls[n - 1] = text
    return "\n".join(ls)


DAMAGED = {
    "defaults_empty": "",
    "defaults_title_only": "Quendrix default design data\n",
    "defaults_bad_centre": replace_line(2, "abc          Fo"),
    "defaults_unit_in_columns": replace_line(2, "3000 MHz"),
    "defaults_one_section": replace_line(8, "1.           N"),
    "defaults_thickness_equals_height": replace_line(13, "0.031        T"),
    "defaults_blank_name": replace_line(17, "                    "),
    "defaults_skirt_in_band": replace_line(6, "3450.        Skirt"),
    "defaults_ten_lines": "\n".join(lines[:10]) + "\n",
    "defaults_cr_only": SHIPPED.replace("\n", "\r"),
    "defaults_crlf_extra_lines": SHIPPED.replace("\n", "\r\n") + "extra line\r\nanother\r\n",
    "defaults_no_line_end": SHIPPED.rstrip("\n"),
}
for name, text in DAMAGED.items():
    write("fuzz_conversation", name, with_defaults(text, ALL_BLANK))
# Defaults that change the course of the conversation.
write("fuzz_conversation", "defaults_name_is_defaults_file",
      with_defaults(replace_line(17, "Quendrix.DEF        "), script(*BLANK_DESIGN, "1", "", "", "x.txt", "")))
write("fuzz_conversation", "defaults_zero_ripple",
      with_defaults(replace_line(5, "0."), script("", "", "1", "", "0", "0.2", "", "", "", "", "")))
write("fuzz_conversation", "defaults_butterworth_stripline",
      with_defaults(replace_line(4, "2.").replace("1.            Construction", "2.            Construction"),
                    script("", "", "", "", "", "", "", "1", "", "", "", "", "", "4")))
write("fuzz_conversation", "no_defaults_file", with_defaults("-", ALL_BLANK))

print("seed corpora written under", CORPUS)
