#include "history/pending_file.h"

#include <QByteArrayList>
#include <QUrl>

#include <algorithm>

void PendingRuns::addKeys(const QList<KeyTally>& more) {
    for (const KeyTally& key : more) {
        KeyTally& sum = keys[key.code];
        sum.code = key.code;
        sum.expected += key.expected;
        sum.wrong += key.wrong;
    }
}

void PendingRuns::addGrams(const QList<GramStats>& more) {
    for (const GramStats& gram : more) {
        GramStats& sum = grams[{gram.day, gram.gram}];
        sum.gram = gram.gram;
        sum.day = gram.day;
        sum.add(gram);
    }
}

void PendingRuns::add(const PendingRuns& later) {
    runs += later.runs;
    addKeys(later.keys.values());
    addGrams(later.grams.values());
}

PendingRuns::Dropped PendingRuns::trim() {
    Dropped dropped;
    if (runs.size() > kMaxRuns) {
        dropped.runs = int(runs.size()) - kMaxRuns;
        runs.remove(0, dropped.runs);
    }
    // The map runs by day: the oldest days' figures give way first.
    while (grams.size() > kMaxGrams) {
        grams.erase(grams.begin());
        ++dropped.grams;
    }
    return dropped;
}

namespace PendingFile {

const QByteArray kHeader = "Zephkin pending runs 1";

namespace {

bool number(const QByteArray& field, qint64 least, qint64 most, qint64* value) {
    bool ok = false;
    *value = field.toLongLong(&ok);
    return ok && *value >= least && *value <= most;
}

bool number(const QByteArray& field, int least, int most, int* value) {
    qint64 wide = 0;
    if (!number(field, qint64(least), qint64(most), &wide))
        return false;
    *value = int(wide);
    return true;
}

bool readRun(const QByteArrayList& f, PracticeRun* run) {
    using namespace RunLimits;
    qint64 started = 0;
    if (f.size() != 7 || !PracticeModes::fromKey(QString::fromLatin1(f[1]), &run->mode) ||
        !number(f[2], 0, kLatestStart, &started) ||
        !number(f[3], 0, kMostSeconds, &run->activeSeconds) ||
        !number(f[4], 0, kMostKeystrokes, &run->keystrokes) ||
        !number(f[5], 0, run->keystrokes, &run->wrongKeystrokes) || f[6].size() > kItemBytes)
        return false;
    run->started = QDateTime::fromSecsSinceEpoch(started);
    run->item = QUrl::fromPercentEncoding(f[6]);
    run->computeMeters();
    return run->isPlausible();
}

bool readKey(const QByteArrayList& f, KeyTally* key) {
    using namespace RunLimits;
    return f.size() == 4 && number(f[1], 1, kMostCode, &key->code) &&
           number(f[2], 0, kMostKeyCount, &key->expected) &&
           number(f[3], 0, key->expected, &key->wrong);
}

bool readGram(const QByteArrayList& f, GramStats* gram) {
    if (f.size() != 6 || !number(f[1], GramStats::kFirstDay, GramStats::kLastDay, &gram->day) ||
        !number(f[3], 0, GramStats::kMostDayCount, &gram->expected) ||
        !number(f[4], 0, gram->expected, &gram->wrong))
        return false;
    gram->gram = QUrl::fromPercentEncoding(f[2]);
    const QByteArrayList times = f[5].split(',');
    if (times.size() != KeyTiming::kBuckets)
        return false;
    for (int i = 0; i < KeyTiming::kBuckets; ++i) {
        if (!number(times[i], 0, GramStats::kMostDayCount, &gram->times[size_t(i)]))
            return false;
    }
    return gram->isPlausibleDay();
}

QByteArray runLine(const PracticeRun& run) {
    QString item = run.item;
    QByteArray encoded = QUrl::toPercentEncoding(item);
    while (encoded.size() > kItemBytes) {
        item.chop(std::max<qsizetype>(1, item.size() / 4));
        encoded = QUrl::toPercentEncoding(item);
    }
    return "run\t" + PracticeModes::key(run.mode).toLatin1() + '\t' +
           QByteArray::number(run.started.toSecsSinceEpoch()) + '\t' +
           QByteArray::number(run.activeSeconds) + '\t' + QByteArray::number(run.keystrokes) +
           '\t' + QByteArray::number(run.wrongKeystrokes) + '\t' + encoded + "\r\n";
}

} // namespace

Contents parse(const QByteArray& bytes) {
    Contents contents;
    const QByteArrayList lines = bytes.split('\n');
    const auto text = [](QByteArray line) {
        if (line.endsWith('\r'))
            line.chop(1);
        return line;
    };
    contents.ours = text(lines.value(0)) == kHeader;
    if (!contents.ours)
        return contents;
    PendingRuns& kept = contents.runs;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = text(lines[i]);
        const QByteArrayList f = line.split('\t');
        bool read = true;
        if (f[0] == "run") {
            PracticeRun run;
            read = readRun(f, &run);
            if (read)
                kept.runs.append(run);
        } else if (f[0] == "key") {
            KeyTally key;
            read = readKey(f, &key);
            // A key's lines add up, and together stay within what a key can come to.
            const KeyTally before = kept.keys.value(key.code);
            read = read && before.expected + key.expected <= RunLimits::kMostKeyCount;
            if (read)
                kept.addKeys({key});
        } else if (f[0] == "gram") {
            GramStats gram;
            read = readGram(f, &gram);
            if (read) {
                // So do a gram's lines of one day.
                GramStats sum = kept.grams.value({gram.day, gram.gram});
                sum.day = gram.day;
                sum.gram = gram.gram;
                sum.add(gram);
                read = sum.isPlausibleDay();
            }
            if (read)
                kept.addGrams({gram});
        }
        if (!read)
            ++contents.damaged;
    }
    return contents;
}

QByteArray bytes(const PendingRuns& runs) {
    QByteArray out = kHeader + "\r\n";
    for (const PracticeRun& run : runs.runs)
        out += runLine(run);
    for (const KeyTally& key : runs.keys)
        out += "key\t" + QByteArray::number(key.code) + '\t' + QByteArray::number(key.expected) +
               '\t' + QByteArray::number(key.wrong) + "\r\n";
    for (const GramStats& gram : runs.grams) {
        QByteArrayList times;
        for (qint64 n : gram.times)
            times << QByteArray::number(n);
        out += "gram\t" + QByteArray::number(gram.day) + '\t' + QUrl::toPercentEncoding(gram.gram) +
               '\t' + QByteArray::number(gram.expected) + '\t' + QByteArray::number(gram.wrong) +
               '\t' + times.join(',') + "\r\n";
    }
    return out;
}

} // namespace PendingFile
