#pragma once
// Other data to POS: the user picks a delimited data file, the separator and
// the latitude and longitude columns, checks the two preview lists side by
// side, and saves the POS file.

#include <QWidget>
#include <string>
#include <vector>

#include "shell/services.h"

class QComboBox;
class QLineEdit;
class QListView;
class QRadioButton;
class QToolButton;

namespace skyrell {

class ColumnListModel;

class frmTxtPos : public QWidget {
    Q_OBJECT
  public:
    frmTxtPos(Services& services, QWidget* owner);
    ~frmTxtPos() override;

  private:
    void ChooseDataFile();
    // Re-reads the data file and offers its columns; false (with a message)
    // when the file cannot be read, in which case nothing changes.
    bool Load();
    void Refill(QComboBox* column, ColumnListModel* model);
    void FollowSelection(QListView* from, QListView* to);
    void FollowScroll(QListView* from, QListView* to);
    void Save();
    std::string Separator() const;
    void Message(const QString& text, MsgIcon icon);

    Services& services_;
    QLineEdit* txtPath_;
    QToolButton* cmdOpen_;
    QRadioButton* optSpace_;
    QRadioButton* optComma_;
    QComboBox* cboB_;
    QComboBox* cboL_;
    QListView* lstB_;
    QListView* lstL_;
    QLineEdit* txtPos_;
    QToolButton* cmdSave_;
    ColumnListModel* modelB_;
    ColumnListModel* modelL_;
    std::vector<std::string> lines_;
    std::string loadedSeparator_;  // the separator lines_ were last split with
    bool syncing_ = false;
};

}  // namespace skyrell
