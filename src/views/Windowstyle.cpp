#include "views/Windowstyle.h"

#include <QFontDatabase>
#include <QLabel>
#include <QWidget>

#include <array>

namespace {

// Looked for once: the font list does not change while the program runs.
QString findFamily()
{
    const QStringList installed = QFontDatabase::families(QFontDatabase::Cyrillic);
    for (const char* wanted : {"tahoma", "dejavu sans", "liberation sans"})
        for (const QString& family : installed)
            if (family.compare(QLatin1String(wanted), Qt::CaseInsensitive) == 0)
                return family;
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

struct TagLook {
    int tag;
    unsigned colour;  // 0xBBGGRR; 0: keep the colour
    bool bold;
};
constexpr std::array<TagLook, 4> tagLooks{{
    {1, 0xD26900, false},
    {2, 0x0000FF, false},
    {3, 0x800000, false},
    {4, 0, true},
}};

void applyTag(QLabel& label)
{
    const int tag = label.property(WindowStyle::tagProperty).toInt();
    for (const TagLook& look : tagLooks) {
        if (look.tag != tag)
            continue;
        if (look.colour != 0) {
            QPalette palette = label.palette();
            palette.setColor(QPalette::WindowText, WindowStyle::colour(look.colour));
            label.setPalette(palette);
        }
        if (look.bold) {
            QFont font = label.font();
            font.setBold(true);
            label.setFont(font);
        }
    }
}

} // namespace

QString WindowStyle::fontFamily()
{
    static const QString family = findFamily();
    return family;
}

void WindowStyle::prepare(QWidget& window)
{
    QFont font = window.font();
    font.setFamily(fontFamily());
    window.setFont(font);
    for (QLabel* label : window.findChildren<QLabel*>())
        applyTag(*label);
}

QColor WindowStyle::colour(unsigned bgr)
{
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>((bgr >> 16) & 0xFF));
}

void WindowStyle::setTag(QWidget& label, int tag)
{
    label.setProperty(tagProperty, tag);
}

QColor WindowStyle::darker(const QColor& colour)
{
    const auto down = [](int component) { return component > 20 ? component - 20 : 0; };
    return QColor(down(colour.red()), down(colour.green()), down(colour.blue()));
}
