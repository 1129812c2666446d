#pragma once

#include <QString>

class QWidget;

// The operator's help: an HTML book in Russian shown in a window of its own, with its contents,
// links and a search. One window at a time; asking again brings it forward at the topic.
class HelpViewer {
public:
    // The contents page.
    static void showContents(QWidget* near = nullptr);
    // A topic by its anchor ("WORK_PRINTING_PREVIEW"); the contents when it is unknown.
    static void showTopic(const QString& anchor, QWidget* near = nullptr);
};
