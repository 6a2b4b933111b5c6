#pragma once

#include <QObject>
#include <QPointer>

class TDataSet;

// Binds a dataset to views: re-emits the dataset's changes as DataChange and
// its cursor moves as CurrentChanged; DataSetChanged when the binding changes
// (also when the bound dataset is destroyed).
class TDataSource : public QObject
{
    Q_OBJECT
public:
    explicit TDataSource(QObject *parent = nullptr) : QObject(parent) {}
    TDataSet *DataSet() const { return FDataSet; }
    void SetDataSet(TDataSet *dataSet);

Q_SIGNALS:
    void DataSetChanged();
    void DataChange();
    void CurrentChanged();

private:
    QPointer<TDataSet> FDataSet;
    QMetaObject::Connection FDataConnection;
    QMetaObject::Connection FScrollConnection;
    QMetaObject::Connection FDestroyedConnection;
};
