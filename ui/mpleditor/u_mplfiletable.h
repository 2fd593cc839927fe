#pragma once
// The files of one directory of an Mp3 List as the list editor's file table
// shows them: name, directory path, size in MB, duration and bitrate. A
// read-only table over a snapshot of the directory's file list, taken when
// the directory is set.
#include <QAbstractTableModel>
#include <vector>

class TBWDirectory;
class TBWMp3File;

class TMplFileTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { colFilename, colPath, colSize, colDuration, colBitrate, colCount };

    explicit TMplFileTableModel(QObject* parent = nullptr);

    // The directory whose files are shown (none: no rows). Call it again
    // after the directory's files changed.
    void SetDirectory(TBWDirectory* dir);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QString CellText(TBWMp3File& file, int column) const;

    std::vector<TBWMp3File*> files_;
};
