#pragma once

#include "PeerClient.h"

namespace libprintmanager {
namespace detail {

    // Client of the print manager service.
    class PrintManager : public peers::PeerClient {
        Q_OBJECT
    public:
        explicit PrintManager(QObject* parent = nullptr);

        bool restartServicesAfterReset();
        // Asks the print manager to send the changed machine configuration to the print processor.
        bool configureSlave();
    };

} // namespace detail
} // namespace libprintmanager
