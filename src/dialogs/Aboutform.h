#pragma once

#include <QDialog>

class Configuration;
class QLabel;
class TMyButton;

// "  О программе": the program's name, what it does, when it was built and which control
// modules it serves. Modal, centred on the screen, made for one opening.
class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(const Configuration& configuration, QWidget* parent = nullptr);

    QLabel* nameLabel() const { return name_; }
    QLabel* descriptionLabel() const { return description_; }
    QLabel* modulesLabel() const { return modules_; }
    TMyButton* exitButton() const { return exit_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* name_ = nullptr;
    QLabel* description_ = nullptr;
    QLabel* modules_ = nullptr;
    TMyButton* exit_ = nullptr;
};
