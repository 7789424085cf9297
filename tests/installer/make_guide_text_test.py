"""The Japanese guide as the installed text file: code page 932 or a clear refusal, lines that
Notepad shows whole and that break where Japanese text may break, and the two guides in step."""
import os
import re
import sys
import unittest

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
sys.path.insert(0, os.path.join(ROOT, "scripts"))
import make_guide_text as gen  # noqa: E402


def text_lines(markdown):
    return gen.generate(markdown).decode("cp932").split("\r\n")[:-1]


class Encoding(unittest.TestCase):
    def test_cp932_with_crlf_and_an_underlined_title(self):
        self.assertEqual(gen.generate("# 使い方\n"), "使い方\r\n======\r\n".encode("cp932"))

    def test_a_character_cp932_lacks_is_refused_with_its_line(self):
        # U+2014 looks like cp932's dash, U+2015, but has no cp932 form.
        with self.assertRaisesRegex(gen.GuideError, "line 3: .*U\\+2014"):
            gen.generate("# 使い方\n\nLoscan \u2014 ドライブ文字\n")

    def test_a_guide_notepad_of_windows_95_cannot_open_is_refused(self):
        with self.assertRaises(gen.GuideError):
            gen.generate("あ" * (gen.MAX_BYTES // 2 + 1))


class Filling(unittest.TestCase):
    # Every other character a closing or opening mark, so that a plain fill breaks wrongly.
    PARAGRAPH = ("「設定」、" * 30 + "Loscan は新しいドライブ文字を書き込みます。" * 6
                 + "(`C:\\Program Files\\Norvell\\Tavrik`) に、Windows (32 ビット) で。")

    def test_lines_fit_and_break_only_where_japanese_text_may(self):
        lines = text_lines(self.PARAGRAPH)
        self.assertGreater(len(lines), 3)
        for line in lines:
            self.assertLessEqual(gen.columns(line), gen.WIDTH, line)
            self.assertNotIn(line[0], gen.NO_LINE_START, line)
            self.assertNotIn(line[-1], gen.NO_LINE_END, line)
        self.assertEqual(sum(line.count("Loscan") for line in lines), 6)
        self.assertIn("C:\\Program Files\\Norvell\\Tavrik", "\n".join(lines))
        # Nothing lost but markup and the spaces the breaks took.
        self.assertEqual("".join(lines).replace(" ", ""),
                         self.PARAGRAPH.replace("`", "").replace(" ", ""))

    def test_list_items_hang_and_a_backslash_breaks_the_line(self):
        # Markdown needs the spaces around bold that starts or ends with a mark; the text not.
        lines = text_lines("- **「終了」**: 下の **「送る」** を。\\\n  次の行\n- 次の項目\n")
        self.assertEqual(lines, ["・「終了」: 下の「送る」を。", "  次の行", "・次の項目"])

    def test_markup_without_a_text_form_is_refused(self):
        with self.assertRaises(gen.GuideError):
            gen.generate("# 使い方\n\n```\ncode\n```\n")


class TheTwoGuides(unittest.TestCase):
    def outline(self, name):
        """Heading levels and pictures, in order."""
        with open(os.path.join(ROOT, "docs", name), encoding="utf-8") as f:
            return re.findall(r"^(#+) |^!\[[^\]]*\]\(([^)]*)\)", f.read(), re.MULTILINE)

    def test_same_sections_and_pictures(self):
        self.assertEqual(self.outline("guide.ja.md"), self.outline("guide.md"))


if __name__ == "__main__":
    unittest.main()
