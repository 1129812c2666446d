#pragma once

#include <QWidget>

class Log;
class QListView;
class QPoint;

// The page "Журнал": the journal's lines, newest last, with the operator's two actions on tool
// buttons and in the context menu.
class JournalPage : public QWidget {
    Q_OBJECT
public:
    explicit JournalPage(Log& journal, QWidget* parent = nullptr);

    // One row per journal line, read from the journal itself when shown.
    QListView* list() const;
    // The window "  Журнал" with its top-left corner at that point; "OK" with a text adds it.
    void addEntry(const QPoint& globalTopLeft);
    // "Стереть все записи в журнале?"; Yes empties the journal and notes that it was cleared.
    void askClear();

private:
    void showMenu(const QPoint& position);

    Log& journal_;
    QListView* list_ = nullptr;
};
