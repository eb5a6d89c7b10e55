#pragma once

#include <QObject>

namespace libdocumentmanager::detail {
class DocumentManager;
}

namespace detail {

// The service's way to the document manager: forwards to the client library's singleton, which
// sends every call even while the document manager is away (the bus answers for it).
class DocumentManagerProxy : public QObject {
    Q_OBJECT
public:
    explicit DocumentManagerProxy(QObject* parent = nullptr);

    bool restartServicesAfterReset();
signals:
    void connected();

private:
    libdocumentmanager::detail::DocumentManager& m_manager;
};

} // namespace detail
