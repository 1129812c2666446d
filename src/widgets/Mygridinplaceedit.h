#pragma once

#include <QLineEdit>

// The text editor laid over the current cell of a TMyGrid: no frame of its own, the grid's lines
// are its frame.
class MyGridInplaceEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit MyGridInplaceEdit(QWidget* parent = nullptr);
};
