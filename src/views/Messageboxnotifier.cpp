#include "views/Messageboxnotifier.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QThread>

#include <array>
#include <utility>

namespace {

using Icon = platform::OperatorMessage::Icon;

constexpr std::array<std::pair<Icon, QMessageBox::Icon>, 3> icons{{
    {Icon::information, QMessageBox::Information},
    {Icon::warning, QMessageBox::Warning},
    {Icon::error, QMessageBox::Critical},
}};

QMessageBox::Icon boxIcon(Icon icon)
{
    for (const auto& [from, to] : icons)
        if (from == icon)
            return to;
    return QMessageBox::Information;
}

} // namespace

MessageBoxNotifier::MessageBoxNotifier(QWidget* parent) : QObject(parent), parentWindow_(parent) {}

MessageBoxNotifier::~MessageBoxNotifier() = default;

void MessageBoxNotifier::notify(const platform::OperatorMessage& message)
{
    if (QThread::currentThread() == thread()) {
        show(message);
        return;
    }
    QMetaObject::invokeMethod(this, [this, message] { show(message); }, Qt::QueuedConnection);
}

void MessageBoxNotifier::show(const platform::OperatorMessage& message)
{
    std::erase_if(open_, [](const auto& entry) { return entry.second.isNull(); });
    const std::string key = message.caption + '\n' + message.text;
    if (const auto found = open_.find(key); found != open_.end() && found->second)
        return;
    auto* box = new QMessageBox(boxIcon(message.icon), QString::fromStdString(message.caption),
                                QString::fromStdString(message.text), QMessageBox::Ok, parentWindow_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    open_[key] = box;
    box->show();
}

int MessageBoxNotifier::openCount() const
{
    int count = 0;
    for (const auto& [key, box] : open_)
        count += box ? 1 : 0;
    return count;
}
