#include "look/theme_menu.h"

#include "core/state_file.h"
#include "look/skin_engine.h"

#include <QFileInfo>
#include <QMenu>

const QString ThemeMenu::kNoSkin = QStringLiteral("Cancel theme.urf");
const QString ThemeMenu::kDefaultSkin = QStringLiteral("pixos.urf");

ThemeMenu::ThemeMenu(const ProgramFolder& folder, SkinEngine* engine, QWidget* parent)
    : QWidget(parent), m_folder(folder), m_engine(engine) {
    setObjectName(QStringLiteral("Form99"));
}

QMenu* ThemeMenu::menu() {
    if (m_menu)
        return m_menu;
    m_menu = new QMenu(QStringLiteral("theme"), this);
    m_menu->setObjectName(QStringLiteral("face"));
    QAction* cancel = m_menu->addAction(QStringLiteral("Cancel theme"));
    cancel->setObjectName(QStringLiteral("noface"));
    cancel->setCheckable(true);
    connect(cancel, &QAction::triggered, this, &ThemeMenu::noface_Click);
    m_menu->addSeparator();
    for (int i = 0; i < skinNames().size(); ++i) {
        QAction* item = m_menu->addAction(skinNames()[i]);
        item->setObjectName(QStringLiteral("fff(%1)").arg(i));
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, i] { fff_Click(i); });
    }
    return m_menu;
}

const QStringList& ThemeMenu::skinNames() {
    static const QStringList names = {
        QStringLiteral("PixOS"),   QStringLiteral("CoronaLaST"), QStringLiteral("XP-Metallic"),
        QStringLiteral("XP-Luna"), QStringLiteral("LE4"),        QStringLiteral("MacOS"),
        QStringLiteral("Slate"),   QStringLiteral("OpusOS"),     QStringLiteral("RhodiumX")};
    return names;
}

QString ThemeMenu::facePath() const {
    return m_folder.path(QStringLiteral("\\face.txt"));
}

void ThemeMenu::writeFace() {
    StateFile::writeLine(facePath(), SkinFileName);
}

void ThemeMenu::startSkin() {
    if (!QFileInfo::exists(facePath()))
        StateFile::writeLine(facePath(), kDefaultSkin);
    SkinFileName = StateFile::readFirstField(facePath());
    // A skin name is a file in the program folder, never a path elsewhere.
    const bool plainName = !SkinFileName.isEmpty() && !SkinFileName.contains(u'/') &&
                           !SkinFileName.contains(u'\\') && SkinFileName != u"." &&
                           SkinFileName != u"..";
    SkinFilePath =
        plainName ? m_folder.findFile(u'\\' + SkinFileName) : m_folder.dir() + u'/' + SkinFileName;
    int out = 0;
    if (plainName && QFileInfo(SkinFilePath).isFile()) {
        const int result = m_engine->SkinStart(SkinFilePath, 2, QString(), 1, 0, &out);
        SkinActive = true;
        if ((result & 0xFFFF) == 0) {
            SkinActive = false;
            m_engine->SkinStart(SkinFilePath, 1, QString(), 1, 0, &out);
            SkinFileName = kNoSkin;
        }
    } else {
        SkinActive = false;
        m_engine->SkinStart(SkinFilePath, 1, QString(), 1, 0, &out);
        SkinFileName = kNoSkin;
    }
}

void ThemeMenu::DoSkin(const QString& skinFile) {
    SkinFilePath = m_folder.findFile(u'\\' + skinFile);
    int out = 0;
    m_engine->SkinStart(SkinFilePath, 2, QString(), 1, 0, &out);
}

void ThemeMenu::fff_Click(int index) {
    SkinFileName = skinNames().value(index) + QStringLiteral(".urf");
    DoSkin(SkinFileName);
    SkinActive = true;
    writeFace();
}

void ThemeMenu::noface_Click() {
    if (SkinActive) {
        int out = 0;
        m_engine->SkinStart(QString(), 0, QString(), 1, 0, &out);
        SkinActive = false;
    }
    SkinFileName = kNoSkin;
    writeFace();
}

void ThemeMenu::popup(QPoint globalPos) {
    markSkinInUse();
    menu()->exec(globalPos);
}

// The entry of the skin in use carries a check mark; "Cancel theme" does without a skin.
void ThemeMenu::markSkinInUse() {
    const QString inUse = SkinActive ? SkinFileName : QString();
    for (QAction* action : menu()->actions()) {
        if (!action->isCheckable())
            continue;
        const bool none = action->objectName() == u"noface";
        action->setChecked(none ? inUse.isEmpty()
                                : inUse.compare(action->text() + QStringLiteral(".urf"),
                                                Qt::CaseInsensitive) == 0);
    }
}
