// The reader selection window: every usable reader with the ATR of the card in it, kept
// fresh once a second, one of them to be chosen.
#pragma once

#include <QDialog>

#include <memory>
#include <string>

class QPushButton;
class QShowEvent;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace smartcard {

class TResourceManager;

class TSelectReaderForm : public QDialog {
public:
    // Opens a resource manager of its own and lists every reader the system can reach.
    explicit TSelectReaderForm(QWidget* parent = nullptr);
    ~TSelectReaderForm() override;

    // Selects the row of that reader, or none when it is not listed.
    void Preselect(const std::string& name);
    // The reader of the row last selected; empty before any.
    const std::string& ChosenName() const { return chosenName_; }

    // Refreshes every listed reader; a reader whose state changed shows its card's ATR.
    void Timer1Timer();
    void ListView1Change();
    void ListView1DblClick();

    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QTreeWidget* ListView1 = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void AddReaderRow(const std::string& name);
    static std::string RowReader(const QTreeWidgetItem& item);

    std::unique_ptr<TResourceManager> manager_;
    std::string chosenName_;
};

}  // namespace smartcard
