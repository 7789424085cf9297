"""The installer's registry lines from a definitions .reg: texts NSIS would misread, and the
files the generator must refuse rather than turn into a partial installation; and the .reg
reader they go through, on the files the end-to-end scripts give it."""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "installer"))
import make_definitions_nsh as gen  # noqa: E402
import reg_file  # noqa: E402  (on the path through make_definitions_nsh)

FIXTURES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fixtures")

ROOT = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvell\\Tavrik\\RW_Devices]"


def reg(*lines):
    return "\r\n".join(("REGEDIT4", "") + lines) + "\r\n"


def script(text, icon_folder="/icons"):
    return gen.generate(gen.parse_reg(gen.decode_cp932(text.encode("cp932"))), icon_folder)


def lines_of(nsh, prefix):
    return [line.strip() for line in nsh.split("\n") if line.strip().startswith(prefix)]


class TextsNsisWouldMisread(unittest.TestCase):
    def test_dollar_and_quote_are_escaped(self):
        nsh = script(reg(ROOT, '"Memo"="a$b \\"q\\""'))
        self.assertEqual(lines_of(nsh, "WriteRegStr"),
                         ['WriteRegStr HKLM "SOFTWARE\\Norvell\\Tavrik\\RW_Devices" "Memo" '
                          '"a$$b $\\"q$\\""'])

    def test_reg_backslash_escapes_become_single_backslashes(self):
        nsh = script(reg(ROOT, '"0"="USBSTOR\\\\Disk&Ven_Norvell"'))
        self.assertIn('"0" "USBSTOR\\Disk&Ven_Norvell"', nsh)

    def test_trail_byte_5c_is_part_of_its_character(self):
        # 表 is 0x95 0x5C in cp932: the 0x5C is no escape of the following quote.
        nsh = script(reg(ROOT, '"DriveFuncs"="表示"'))
        self.assertEqual(lines_of(nsh, "LangString"),
                         ['LangString DEF_TEXT_0 ${LANG_JAPANESE} "表示"'])
        self.assertIn('"DriveFuncs" "$(DEF_TEXT_0)"', nsh)

    def test_one_language_string_per_distinct_text(self):
        nsh = script(reg(ROOT, '"a"="メモリー"', '"b"="メモリー"', '"c"="カード"'))
        self.assertEqual(len(lines_of(nsh, "LangString")), 2)

    def test_ascii_texts_stay_plain_strings(self):
        nsh = script(reg(ROOT, '"Version"="1.0.0"'))
        self.assertEqual(lines_of(nsh, "LangString"), [])

    def test_dword_keeps_all_32_bits(self):
        nsh = script(reg(ROOT, '"VID"=dword:ffff3a7e'))
        self.assertIn('"VID" 0xffff3a7e', nsh)


class IconFiles(unittest.TestCase):
    def test_icon_path_points_into_the_installed_icon_folder(self):
        nsh = script(reg(ROOT, '"IconPath"="C:\\\\Program Files\\\\Norvell\\\\Tavrik\\\\Icons\\\\cf.ico"'))
        self.assertIn('"IconPath" "$INSTDIR\\Icons\\cf.ico"', nsh)

    def test_each_icon_installed_and_deleted_once(self):
        nsh = script(reg(ROOT, '"IconPath"="C:\\\\x\\\\sd.ico"', "",
                         ROOT[:-1] + '\\A]', '"IconPath"="C:\\\\y\\\\sd.ico"',
                         '"Other"="C:\\\\y\\\\ms.ico"'), "/res/slot_icons")
        self.assertEqual(lines_of(nsh, "File"), ['File "/res/slot_icons/sd.ico"'])
        self.assertEqual(lines_of(nsh, "Delete"), ['Delete "$INSTDIR\\Icons\\sd.ico"'])

    def test_icon_path_without_file_name_is_refused(self):
        with self.assertRaises(gen.DefinitionsError):
            script(reg(ROOT, '"IconPath"="C:\\\\Icons\\\\"'))


class FilesRefused(unittest.TestCase):
    def assertRefused(self, text):
        with self.assertRaises(gen.DefinitionsError):
            script(text)

    def test_not_regedit4(self):
        self.assertRefused("Windows Registry Editor Version 5.00\r\n\r\n" + ROOT + "\r\n")

    def test_value_types_the_installer_cannot_write(self):
        self.assertRefused(reg(ROOT, '"Blob"=hex:01,02'))
        self.assertRefused(reg(ROOT, '"N"=dword:123'))

    def test_key_outside_hkey_local_machine(self):
        self.assertRefused(reg("[HKEY_CURRENT_USER\\Software\\Norvell]", '"a"="b"'))

    def test_key_not_below_the_first(self):
        # The uninstaller removes the first key's tree; anything beside it would stay behind.
        self.assertRefused(reg(ROOT, '"a"="b"', "", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]",
                               '"a"="b"'))

    def test_empty_key_without_subkeys(self):
        # WriteReg* creates a key only by writing into it or below it.
        self.assertRefused(reg(ROOT, '"a"="b"', "", ROOT[:-1] + "\\Empty]"))

    def test_key_deletion(self):
        self.assertRefused(reg("[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvell]"))

    def test_bytes_that_are_not_cp932(self):
        with self.assertRaises(gen.DefinitionsError):
            gen.decode_cp932(b"REGEDIT4\r\n\x81\r\n")

    def test_unknown_escape(self):
        self.assertRefused(reg(ROOT, '"a"="x\\qy"'))

    def test_a_valueless_parent_of_written_keys_is_fine(self):
        nsh = script(reg(ROOT, "", ROOT[:-1] + "\\A\\B]", '"a"="b"'))
        self.assertIn('!define DEFINITIONS_KEY "SOFTWARE\\Norvell\\Tavrik\\RW_Devices"', nsh)


class RegFileReading(unittest.TestCase):
    def test_wine_export_with_hex_continuation_lines(self):
        with open(os.path.join(FIXTURES, "wine_export_sample.reg"), "rb") as f:
            keys = reg_file.read_keys(reg_file.decode_reg(f.read()))
        values = {v.name: v for v in keys[0].values}
        self.assertEqual(values["Blob"].data, bytes(range(0x30)))
        self.assertEqual(values["Multi"].hex_type, 7)
        self.assertEqual(values["Count"].data, 0x1234ABCD)
        self.assertEqual(values['Quote"And\\Backslash'].data, 'C:\\Program Files\\Norvell\\"x"')
        # The line after a continued value is a value of its own.
        self.assertEqual(values["Nothing"].line_number, 15)

    def test_deletions(self):
        keys = reg_file.read_keys(reg("[-HKEY_LOCAL_MACHINE\\A]", ROOT, '"a"=-'))
        self.assertEqual([(k.path, k.deleted) for k in keys],
                         [("HKEY_LOCAL_MACHINE\\A", True), (ROOT[1:-1], False)])
        self.assertEqual(keys[1].values[0].kind, "delete")

    def test_values_of_one_name_across_keys(self):
        # How the end-to-end scripts list every slot's icon: unescaped, other names and
        # types passed over, a line lenient reading kept skipped.
        text = reg(ROOT[:-1] + "\\A]", '"IconPath"="C:\\\\I\\\\cf.ico"', '"Icon"="x"', '"a"=str:x',
                   ROOT[:-1] + "\\B]", '"iconpath"="sd.ico"', '"IconPath"=dword:00000001')
        keys = reg_file.read_keys(text, lenient=True)
        self.assertEqual(reg_file.values_named(keys, "IconPath"), ["C:\\I\\cf.ico", "sd.ico"])

    def test_lenient_reading_keeps_what_it_cannot_read(self):
        text = reg(ROOT, '"a"=str:x', '"b"="c"')
        with self.assertRaises(reg_file.RegFileError):
            reg_file.read_keys(text)
        listing = reg_file.sorted_listing(reg_file.read_keys(text, lenient=True))
        self.assertEqual(listing, [ROOT, ROOT + ' "a"=str:x', ROOT + ' "b"="c"'])


if __name__ == "__main__":
    unittest.main()
