// The .urf skin parser and the check of the pictures a skin names.

#include "fuzz_support.h"
#include "core/state_file.h"
#include "look/skin_engine.h"

#include <QPalette>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool picture = [] {
        QFile file(Fuzz::scratch() + QStringLiteral("/pic.png"));
        return file.open(QIODevice::WriteOnly) && file.write("picture") > 0;
    }();
    (void)picture;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    Skin skin;
    QString error;
    if (!parseSkin(bytes, QPalette(), &skin, &error))
        return 0;
    Fuzz::check(skin.styleSheet.size() <= SkinLimits::kMaxSheetLength, "the sheet is capped");
    Fuzz::check(!skin.name.isEmpty(), "a skin has a name");
    QString sheet = skin.styleSheet;
    if (checkSkinPictures(&sheet, Fuzz::scratch(), &error)) {
        // Every url() left names the one picture beside the skin.
        const QString allowed = QStringLiteral("url(\"%1/pic.png\")").arg(Fuzz::scratch());
        Fuzz::check(sheet.count(QLatin1String("url("), Qt::CaseInsensitive) == sheet.count(allowed),
                    "url() names only the picture beside the skin");
    }
    return 0;
}
