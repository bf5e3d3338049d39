#include "common/DeferredIcon.h"

#include <QIconEngine>
#include <memory>
#include <optional>

namespace keyrack {

namespace {

class DeferredIconEngine : public QIconEngine {
  public:
    explicit DeferredIconEngine(std::shared_ptr<std::function<QIcon()>> make)
        : make_(std::move(make)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        Made().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Made().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return Made().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Made().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return Made().availableSizes(mode, state);
    }
    QString key() const override { return QStringLiteral("keyrack-deferred"); }
    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }

  private:
    const QIcon& Made() {
        if (!made_) {
            made_ = (*make_)();
        }
        return *made_;
    }

    std::shared_ptr<std::function<QIcon()>> make_;
    std::optional<QIcon> made_;
};

}  // namespace

QIcon DeferredIcon(std::function<QIcon()> make) {
    return QIcon(new DeferredIconEngine(std::make_shared<std::function<QIcon()>>(std::move(make))));
}

}  // namespace keyrack
