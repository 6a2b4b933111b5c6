#pragma once

#include "sidepanel/Classes.FrameBar.h"

#include <QString>
#include <QWidget>
#include <functional>

class QListWidget;
class TDataSet;

// The side panel's cash-type filter: a check list of every cash type. Its selection,
// the checked identities, restricts the cash balances report.
class TFCashTypeFilterFrame : public QWidget
{
    Q_OBJECT

public:
    explicit TFCashTypeFilterFrame(QWidget *parent = nullptr);

    // One entry per cash type: its name as text, its identity (Qt::UserRole) and a
    // check mark the user sets.
    QListWidget *chlbCashTypes;

    // Raised with the frame after the user changed a check mark.
    std::function<void(QWidget *sender)> OnChecked;
    THeightChangeEvent OnHeightChange;

    // Empties the list and adds, from the dataset's current row to its end, an entry
    // with the fields "Name" and "ID", checked; the dataset is left at its end. Then
    // ProcessFrameHeight. Raises the dataset's error for a missing field.
    void AddCashTypesFromQuery(TDataSet *data);
    // The identities of the checked entries in list order, "1,3,7"; empty when none.
    QString GetSelectedCashTypes() const;
    QString SelectedCashTypes() const { return GetSelectedCashTypes(); }

    int Count() const;
    int CashTypeID(int index) const;
    bool Checked(int index) const;

    // The height of one entry in the list.
    int ItemHeight() const;
    // Reports and takes count * (ItemHeight + 2) + 6, so every cash type shows.
    void ProcessFrameHeight();

    void chlbCashTypesClickCheck();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    bool FFilling = false;
};
