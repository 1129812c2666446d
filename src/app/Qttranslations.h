#pragma once

class QCoreApplication;

// Qt's own texts (the buttons of message boxes, the file, colour and print dialogs) in Russian
// like the rest of the station, whatever the system's language.
class QtTranslations {
public:
    // False when Qt's Russian translations are not installed: Qt's texts stay in English.
    static bool install(QCoreApplication& application);
};
