#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

namespace detail {

// Client of the state handler service, the keeper of the embosser's operating state. Its
// commands go out in the name of the print manager, whose documents they concern.
class StateHandler : public QObject {
    Q_OBJECT
public:
    explicit StateHandler(QObject* parent = nullptr);

    // The current ls::StateId, or "Undefined" when the state handler gives none.
    QString getState() const;
    bool setState(const QString& state);
    bool goToPrevious();

signals:
    void stateChange(const QString& state);

private slots:
    void onNotification(const QVariantMap& notification);

private:
    QVariantMap send(const QVariantMap& command) const;
};

} // namespace detail
