#include "look/palette_roles.h"

QString resolvePaletteRoles(QString sheet, const QPalette& palette) {
    if (!sheet.contains(QLatin1String("palette(")))
        return sheet;
    for (const PaletteRoleName& r : kPaletteRoleNames) {
        if (r.sheetName)
            sheet.replace(QStringLiteral("palette(%1)").arg(QLatin1String(r.sheetName)),
                          palette.color(r.role).name());
    }
    return sheet;
}
