#include "library/built_ins.h"

#include "core/record_json.h"

#include <QTimeZone>

namespace {

QUuid uuid(const char* text)
{
    return QUuid::fromString(QLatin1String(text));
}

Wallpaper shippedWallpaper(const char* name, const char* id)
{
    const QString tag = QString::fromUtf8(name);
    return Wallpaper {uuid(id), tag, tag + QStringLiteral(".mov"), BuiltInEnsembles::distantPast(), std::nullopt, std::nullopt, tag};
}

Ensemble shippedEnsemble(const char* name, const char* id, const char* wallpaper, const char* clock, const char* theme)
{
    const QString tag = QString::fromUtf8(name);
    return Ensemble {uuid(id), tag, uuid(wallpaper), uuid(clock), uuid(theme), tag};
}

} // namespace

QDateTime BuiltInEnsembles::distantPast()
{
    // 0001-01-01 00:00:00 UTC.
    return RecordJson::dateFrom2001(-63114076800.0);
}

const QList<Wallpaper>& BuiltInEnsembles::wallpapers()
{
    static const QList<Wallpaper> list {
        shippedWallpaper("Eclipse", "B906846B-8AC7-4EEB-9EFF-E09EC5D3606C"),
        shippedWallpaper("Graphite", "13EA88CD-D471-48E4-B76B-EEF5AAF37AB1"),
        shippedWallpaper("Infinity", "26CFF5D9-FB5E-4A9E-BB67-E2BCBE06F90E"),
        shippedWallpaper("Frog Pond", "2DBDC573-A636-4A6B-80AE-7BB12D2BD1A1"),
    };
    return list;
}

const QList<Ensemble>& BuiltInEnsembles::ensembles()
{
    static const QList<Ensemble> list {
        shippedEnsemble("Eclipse", "6AF625E7-92C5-41AD-8885-D53A6B00E4A2", "B906846B-8AC7-4EEB-9EFF-E09EC5D3606C",
                        "F9A68FA3-E5EA-4C19-AD07-7DF1E9A69BF2", "A913E043-44D7-42BE-8DF7-650E48C912E6"),
        shippedEnsemble("Graphite", "3D7739B3-B001-4481-AD9C-E78B0FE05231", "13EA88CD-D471-48E4-B76B-EEF5AAF37AB1",
                        "0BFCEF47-FBDA-4036-8B18-53E6A47C4D61", "41F3C94E-2D68-464B-A5D0-083DB41FECDE"),
        shippedEnsemble("Infinity", "BC14FB2B-AB57-4138-8D0F-07209494D4F2", "26CFF5D9-FB5E-4A9E-BB67-E2BCBE06F90E",
                        "F3DEC8AF-34CE-44B4-B35F-3B8D03ECB194", "3FEBBEB0-1B4A-4581-BDD5-6E8FD114F729"),
        shippedEnsemble("Frog Pond", "F4CE1BD9-0450-402C-8DEC-44E3BB2A1D9E", "2DBDC573-A636-4A6B-80AE-7BB12D2BD1A1",
                        "DE0474F9-C4DA-4A6D-848A-6B14F04E283B", "5C85F2C4-04F4-4DB2-B9FA-37731397611F"),
    };
    return list;
}
