#pragma once

#include "MemoryCatalog.h"

class CatalogsManager;

// The machine's current network state ("network" catalog): wired and wireless addresses, host
// name, SNMP switch, wireless credentials and region. Other services write the values as they
// learn them and read them back; each is a plain value of the catalog.
class NetworkProperties : public MemoryCatalog {
    Q_OBJECT

public:
    explicit NetworkProperties(CatalogsManager& catalogs, QObject* parent = nullptr);
};
