// The file of runs that wait for the practice history, read the way the program reads it:
// whatever it holds, every run, key count and figure taken from it is one a real run can have,
// and what the program writes of them is within the cap and reads back the same.

#include "fuzz_support.h"
#include "history/pending_file.h"

namespace {

bool sameRun(const PracticeRun& a, const PracticeRun& b) {
    // An item may be shortened on its way out, never changed otherwise.
    return a.mode == b.mode && a.started == b.started && a.activeSeconds == b.activeSeconds &&
           a.keystrokes == b.keystrokes && a.wrongKeystrokes == b.wrongKeystrokes &&
           a.speed == b.speed && a.accuracy == b.accuracy && a.item.startsWith(b.item);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const PendingFile::Contents read = PendingFile::parse(bytes);
    Fuzz::check(read.ours || (read.runs.isEmpty() && read.damaged == 0),
                "a file of no header is left as it is");
    for (const PracticeRun& run : read.runs.runs)
        Fuzz::check(run.isPlausible(), "a run read is one a run can be");
    for (auto it = read.runs.keys.cbegin(); it != read.runs.keys.cend(); ++it)
        Fuzz::check(it.key() == it->code && it->isPlausible(), "a key count read is plausible");
    for (auto it = read.runs.grams.cbegin(); it != read.runs.grams.cend(); ++it)
        Fuzz::check(it.key() == PendingRuns::GramKey(it->day, it->gram) && it->isPlausibleDay(),
                    "a key figure read is one a day can have");

    PendingRuns kept = read.runs;
    const PendingRuns::Dropped dropped = kept.trim();
    Fuzz::check(kept.runs.size() <= PendingRuns::kMaxRuns &&
                    kept.grams.size() <= PendingRuns::kMaxGrams &&
                    dropped.runs == read.runs.runs.size() - kept.runs.size() &&
                    dropped.grams == read.runs.grams.size() - kept.grams.size(),
                "what gives way is what is said to");
    // The newest runs are the ones kept.
    Fuzz::check(kept.runs.isEmpty() || sameRun(read.runs.runs.last(), kept.runs.last()),
                "the newest run stays");

    const QByteArray written = PendingFile::bytes(kept);
    Fuzz::check(written.size() <= PendingFile::kCap, "the program's file is within its cap");
    const PendingFile::Contents again = PendingFile::parse(written);
    Fuzz::check(again.ours && again.damaged == 0, "the program's file reads whole");
    Fuzz::check(again.runs.runs.size() == kept.runs.size(), "every run reads back");
    for (qsizetype i = 0; i < kept.runs.size(); ++i)
        Fuzz::check(sameRun(kept.runs[i], again.runs.runs[i]), "a run reads back the same");
    Fuzz::check(again.runs.keys.size() == kept.keys.size(), "every key count reads back");
    for (const KeyTally& key : kept.keys) {
        const KeyTally back = again.runs.keys.value(key.code);
        Fuzz::check(back.expected == key.expected && back.wrong == key.wrong,
                    "a key count reads back the same");
    }
    Fuzz::check(again.runs.grams.size() == kept.grams.size(), "every key figure reads back");
    for (const GramStats& gram : kept.grams) {
        const GramStats back = again.runs.grams.value({gram.day, gram.gram});
        Fuzz::check(back.expected == gram.expected && back.wrong == gram.wrong &&
                        back.times == gram.times,
                    "a key figure reads back the same");
    }
    return 0;
}
