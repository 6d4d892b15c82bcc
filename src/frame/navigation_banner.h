#pragma once

#include <QWidget>

class QLabel;

// The picture across the top of every practice window, with the navigation bar: six
// entries, the window's own entry in red.
class NavigationBanner : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kEntries = 6;

    NavigationBanner(int ownEntry, QWidget* window);

    QLabel* entry(int index) const { return m_entries[index]; }
    // All entries black, then the window's own entry red.
    void markOwnEntry();

  signals:
    void entryClicked(int entry);

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    int m_ownEntry;
    QLabel* m_entries[kEntries] = {};
};
