#pragma once

#include <QObject>
#include <vector>

class QLayout;
class QMainWindow;
class QSplitter;
class QWidget;

namespace keyrack {

// The main window's central area: the search box above the tree on the left, the detail column
// on the right, a splitter between them; and the window's size, kept with its placement.
class MainLayout : public QObject {
    Q_OBJECT

  public:
    // Lays the panes out in central and gives the window its design size. Tab goes from the
    // tree through the details' stops to the search box.
    MainLayout(QMainWindow& window, QWidget& central, QWidget& searchBox, QWidget& tree,
               QLayout& details, const std::vector<QWidget*>& detailStops);

    // The size, the splitter's position and the placement from the settings.
    void Restore();
    // Keeps the size and the splitter's position for the next start.
    void Keep() const;

  private:
    QMainWindow& window_;
    QSplitter* splitter_ = nullptr;
    // The tree's kept width, until the splitter has a width to share.
    int pendingSplit_ = 0;
};

}  // namespace keyrack
