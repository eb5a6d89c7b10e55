#pragma once

#include <QObject>

namespace libprintmanager::detail {
class PrintManager;
}

namespace detail {

// The service's way to the print manager: forwards to the client library's singleton, which
// sends every call even while the print manager is away (the bus answers for it).
class PrintManagerProxy : public QObject {
    Q_OBJECT
public:
    explicit PrintManagerProxy(QObject* parent = nullptr);

    bool restartServicesAfterReset();
    bool configureSlave();
signals:
    void connected();

private:
    libprintmanager::detail::PrintManager& m_manager;
};

} // namespace detail
