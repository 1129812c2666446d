#include "views/Placementstore.h"

#include "settings/Inifile.h"
#include "settings/Inistorage.h"

#include <QScreen>
#include <QWidget>

#include <cstdint>

void PlacementStore::restore(QWidget& window, const std::filesystem::path& settings, std::string_view section,
                             const QRect& fallback, QSize minimum)
{
    lib::WindowPlacement placement{fallback.top(), fallback.left(), fallback.width(), fallback.height(),
                                   lib::WindowPlacement::normal};
    {
        const lib::IniFile ini(settings);
        lib::loadWindowPlacement(placement, section, ini);
    }
    const QScreen* shown = window.screen();
    const QRect available = shown ? shown->availableGeometry() : fallback;
    QRect wanted(placement.left, placement.top, placement.width, placement.height);
    if (wanted.width() < minimum.width() || wanted.height() < minimum.height() || !available.intersects(wanted))
        wanted = fallback;
    window.setGeometry(wanted);
    if (placement.state == lib::WindowPlacement::maximised)
        window.setWindowState(Qt::WindowMaximized);
}

void PlacementStore::store(const QWidget& window, const std::filesystem::path& settings, std::string_view section)
{
    const QRect normal = window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
    std::int32_t state = lib::WindowPlacement::normal;
    if (window.isMaximized())
        state = lib::WindowPlacement::maximised;
    else if (window.isMinimized())
        state = lib::WindowPlacement::minimised;
    lib::IniFile ini(settings);
    lib::saveWindowPlacement({normal.top(), normal.left(), normal.width(), normal.height(), state}, section, ini);
}

void PlacementStore::placeFrame(QWidget& window, const QRect& frame)
{
    const QRect inner = window.geometry();
    const QRect outer = window.frameGeometry();
    const QMargins margins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                           outer.bottom() - inner.bottom());
    window.setGeometry(frame.marginsRemoved(margins));
}
