#pragma once

#include "PeerClient.h"

namespace libdocumentmanager {
namespace detail {

    // Client of the document manager service.
    class DocumentManager : public peers::PeerClient {
        Q_OBJECT
    public:
        explicit DocumentManager(QObject* parent = nullptr);

        // Asks the document manager to restart the embosser's services after a configuration reset.
        bool restartServicesAfterReset();
    };

} // namespace detail
} // namespace libdocumentmanager
