#include "app/MainLayout.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QSplitter>
#include <QVBoxLayout>
#include <utility>

#include "common/EventHook.h"
#include "common/Twips.h"
#include "common/WindowPlacement.h"

namespace keyrack {

namespace {

constexpr int kClientWidthTwips = 10410;
constexpr int kClientHeightTwips = 4965;
// Room for the longest value a box keeps; on a wide screen the tree takes what is left, so the
// boxes never stretch into lines too long to read.
constexpr int kDetailsMaxCharacters = 72;

QString ApplicationName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).baseName();
}

}  // namespace

MainLayout::MainLayout(QMainWindow& window, QWidget& central, QWidget& searchBox, QWidget& tree,
                       QLayout& details, const std::vector<QWidget*>& detailStops)
    : QObject(&window), window_(window) {
    splitter_ = new QSplitter(Qt::Horizontal, &central);
    splitter_->setObjectName(QStringLiteral("Splitter1"));
    splitter_->setChildrenCollapsible(false);

    auto* treeColumn = new QWidget(splitter_);
    auto* treeLayout = new QVBoxLayout(treeColumn);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    treeLayout->addWidget(&searchBox);
    treeLayout->addWidget(&tree, 1);

    auto* detailsColumn = new QWidget(splitter_);
    detailsColumn->setLayout(&details);
    details.setContentsMargins(details.contentsMargins().left(), 0, 0, 0);
    detailsColumn->setMaximumWidth(detailsColumn->fontMetrics().averageCharWidth() *
                                   kDetailsMaxCharacters);

    splitter_->addWidget(treeColumn);
    splitter_->addWidget(detailsColumn);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 1);
    (new QHBoxLayout(&central))->addWidget(splitter_);
    QWidget* previous = &tree;
    for (QWidget* next : detailStops) {
        QWidget::setTabOrder(std::exchange(previous, next), next);
    }
    QWidget::setTabOrder(previous, &searchBox);
    new EventHook(splitter_, [this](QEvent* event) {
        if (event->type() == QEvent::Resize && pendingSplit_ > 0) {
            const int rest = splitter_->width() - splitter_->handleWidth() - pendingSplit_;
            splitter_->setSizes({pendingSplit_, std::max(rest, 1)});
            pendingSplit_ = 0;
        }
        return false;
    });

    window.resize(
        TwipsToPixelsX(kClientWidthTwips, window),
        TwipsToPixelsY(kClientHeightTwips, window) + window.menuBar()->sizeHint().height());
}

void MainLayout::Restore() {
    // The size first: the placement centres the window by it.
    pendingSplit_ = RestoreWindowSize(window_, ApplicationName());
    RestoreWindowPlacement(window_, ApplicationName());
}

void MainLayout::Keep() const {
    KeepWindowSize(window_, splitter_->sizes().value(0), ApplicationName());
}

}  // namespace keyrack
