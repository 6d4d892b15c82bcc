// Word lists: GBK text split into the title and the items, within the list limits.

#include "fuzz_support.h"
#include "core/text_codec.h"
#include "words/model/word_lessons.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    bool cut = false;
    const QStringList lines = WordLessons::splitList(decodeGbk(bytes), &cut);
    Fuzz::check(!lines.isEmpty(), "a list has a title line");
    Fuzz::check(lines.size() <= WordLessons::kMaxListLines, "the list is capped");
    for (const QString& line : lines) {
        Fuzz::check(line.size() <= WordLessons::kMaxItemLength, "items are capped");
        Fuzz::check(!line.contains(u'\n'), "an item is one line");
    }
    Fuzz::check(cut || lines.last().isEmpty(), "the line after the last item is empty");
    for (int k = -1; k <= lines.size(); ++k)
        Fuzz::check(WordLessons::TextBoxGetLine(lines, k).size() <= WordLessons::kMaxItemLength,
                    "a line is one item");
    return 0;
}
