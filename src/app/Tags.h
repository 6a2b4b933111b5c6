#pragma once

#include "platform/Strings.h"

#include <QDialog>
#include <functional>

class QListWidget;

// Receives one chosen tag name.
using TTagSelectHandler = std::function<void(const QString &)>;

// The tag picker: a list of names; each double-click hands the selected name
// to the handler and the picker stays open. Esc or the close box closes it.
// Position and size are kept in the settings section "Tags".
class TFTags : public QDialog
{
    Q_OBJECT
public:
    explicit TFTags(QWidget *parent = nullptr);
    ~TFTags() override;

    // Shows `names` in their order and selects the first, if any.
    void SetTags(const TStrings &names);
    void SetTagSelectHandler(TTagSelectHandler handler) { FTagSelectHandler = std::move(handler); }

    QListWidget *lbTags = nullptr;

    // The double-click of the list: the selected name to the handler.
    void lbTagsDblClick();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void done(int result) override;

private:
    TTagSelectHandler FTagSelectHandler;
    bool FSaved = false;
};

inline const QString c_iniTags = QStringLiteral("Tags");

// Shows the picker modally with the names of `tagsLib`; calls the handler once
// per chosen name while open; returns when the picker is closed.
void ShowTags(const TStrings &tagsLib, TTagSelectHandler tagSelectHandler);
