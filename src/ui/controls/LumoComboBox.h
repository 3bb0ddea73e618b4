#pragma once
// The skinned drop-down list: a flat raised panel 21 pixels high showing the chosen entry,
// with a popup list placed so that the current entry lies over the control.
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "ui/controls/ControlState.h"

class QMenu;

namespace uicontrols {

class TLumoComboBox final : public QWidget {
    Q_OBJECT
public:
    explicit TLumoComboBox(QWidget* parent = nullptr);
    ~TLumoComboBox() override;

    const std::vector<std::string>& Items() const { return m_entries.Items(); }
    // Copies the list and shows its first entry; the index is kept.
    void SetItems(std::vector<std::string> items);
    int ItemIndex() const { return m_entries.ItemIndex(); }
    // Shows that entry (nothing past the end); raises no change event.
    void SetItemIndex(int index);
    QString Text() const;

    QSize sizeHint() const override { return {120, kComboHeight}; }

    // Builds the popup list anew and opens it; the menu returned is the control's.
    QMenu* OpenPopup();
    // The user chose an entry: OnChange follows when the index changed.
    void ChooseEntry(int index);

signals:
    // OnChange: the user chose another entry.
    void Changed();
    // A mouse press, after the popup was opened for a left press.
    void MouseDown();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    ComboEntries m_entries;
    std::unique_ptr<QMenu> m_popup;
};

}  // namespace uicontrols
