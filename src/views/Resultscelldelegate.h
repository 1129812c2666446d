#pragma once

#include <QFont>
#include <QRawFont>
#include <QStyledItemDelegate>

#include <array>
#include <optional>

class QGlyphRun;

// A cell of the results table: a fill and one line of text, right-aligned but never starting left
// of the cell (a text too long for it starts at its left edge, cut with an ellipsis). Drawn here
// rather than by the style's general item drawing, which costs several times as much: a screenful
// of a large table is some thousand cells. Numbers and dates are drawn from glyphs looked up once
// per font, without shaping, which was most of the cost of a cell; any other text as text.
//
// Only Enter writes a typed value, as the hint above the table says; a cell left otherwise shows
// the stored value again.
class ResultsCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The table fills the columns with their colours before the cells are drawn and draws the
    // grid lines over their last pixels afterwards.
    void setTableDrawn(bool drawn) { tableDrawn_ = drawn; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    struct Glyph {
        quint32 index = 0;
        qreal advance = 0;
    };

    bool layOut(const QFont& font, const QString& text, QGlyphRun& run, qreal& width) const;
    void prepare(const QFont& font) const;

    bool tableDrawn_ = false;
    mutable QFont font_;
    mutable QRawFont raw_;
    mutable std::array<std::optional<Glyph>, 128> glyphs_{};
};
