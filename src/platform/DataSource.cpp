#include "platform/DataSource.h"

#include "platform/DataSet.h"

void TDataSource::SetDataSet(TDataSet *dataSet)
{
    if (FDataSet == dataSet)
        return;
    disconnect(FDataConnection);
    disconnect(FScrollConnection);
    disconnect(FDestroyedConnection);
    FDataSet = dataSet;
    if (dataSet) {
        FDataConnection = connect(dataSet, &TDataSet::DataChanged, this, &TDataSource::DataChange);
        FScrollConnection = connect(dataSet, &TDataSet::AfterScroll, this, &TDataSource::CurrentChanged);
        // A dataset destroyed while bound leaves the source unbound.
        FDestroyedConnection = connect(dataSet, &QObject::destroyed, this, [this] {
            FDataSet = nullptr;
            Q_EMIT DataSetChanged();
        });
    }
    Q_EMIT DataSetChanged();
}
