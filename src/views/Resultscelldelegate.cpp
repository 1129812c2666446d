#include "views/Resultscelldelegate.h"

#include <QGlyphRun>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

namespace {

constexpr int textMargin = 3;
constexpr const char* enterPressed = "nivraEnterPressed";
// What numbers and the dates of the table are written with.
constexpr char16_t numberCharacters[] = u"0123456789 .,:-+eE";

} // namespace

void ResultsCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorGroup group = option.state.testFlag(QStyle::State_Active) ? QPalette::Active
                                                                                     : QPalette::Inactive;
    if (selected) {
        painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
    } else if (!tableDrawn_) {
        const QVariant background = index.data(Qt::BackgroundRole);
        if (background.isValid())
            painter->fillRect(option.rect, background.value<QBrush>());
    }
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty())
        return;
    const QFontMetrics& metrics = option.fontMetrics;
    const int grid = tableDrawn_ ? 1 : 0;
    const QRect area = option.rect.adjusted(textMargin, 0, -textMargin - grid, -grid);
    const int baseline = area.top() + (area.height() - metrics.height()) / 2 + metrics.ascent();
    painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    QGlyphRun run;
    qreal width = 0;
    if (layOut(option.font, text, run, width) && width <= area.width()) {
        painter->drawGlyphRun(QPointF(area.right() + 1 - width, baseline), run);
        return;
    }
    const int advance = metrics.horizontalAdvance(text);
    if (advance <= area.width())
        painter->drawText(QPoint(area.right() + 1 - advance, baseline), text);
    else
        painter->drawText(QPoint(area.left(), baseline), metrics.elidedText(text, Qt::ElideRight, area.width()));
}

bool ResultsCellDelegate::layOut(const QFont& font, const QString& text, QGlyphRun& run, qreal& width) const
{
    prepare(font);
    QList<quint32> indexes;
    QList<QPointF> positions;
    indexes.reserve(text.size());
    positions.reserve(text.size());
    width = 0;
    for (const QChar character : text) {
        const char16_t code = character.unicode();
        if (code >= glyphs_.size() || !glyphs_[code])
            return false;
        indexes.push_back(glyphs_[code]->index);
        positions.push_back(QPointF(width, 0));
        width += glyphs_[code]->advance;
    }
    run.setRawFont(raw_);
    run.setGlyphIndexes(indexes);
    run.setPositions(positions);
    return true;
}

void ResultsCellDelegate::prepare(const QFont& font) const
{
    if (raw_.isValid() && font == font_)
        return;
    font_ = font;
    raw_ = QRawFont::fromFont(font);
    glyphs_ = {};
    const QString characters = QString::fromUtf16(numberCharacters);
    const QList<quint32> indexes = raw_.glyphIndexesForString(characters);
    if (indexes.size() != characters.size())
        return;
    const QList<QPointF> advances = raw_.advancesForGlyphIndexes(indexes);
    for (qsizetype i = 0; i < characters.size(); ++i)
        if (indexes[i] != 0)
            glyphs_[characters[i].unicode()] = Glyph{indexes[i], advances[i].x()};
}

QWidget* ResultsCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const
{
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        line->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return editor;
}

void ResultsCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (!editor->property(enterPressed).toBool())
        return;
    editor->setProperty(enterPressed, false);
    QStyledItemDelegate::setModelData(editor, model, index);
}

bool ResultsCellDelegate::eventFilter(QObject* object, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            object->setProperty(enterPressed, true);
    }
    return QStyledItemDelegate::eventFilter(object, event);
}
