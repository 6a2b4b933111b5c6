#pragma once

#include <QDialog>

// The About box: the program's name, version and purpose.
class TFAbout : public QDialog
{
    Q_OBJECT
public:
    explicit TFAbout(QWidget *parent = nullptr);

    // Opens the box modally and returns when it is closed.
    static void Execute(QWidget *parent);
    static QString VersionText();
};
