#pragma once

// Every key and id constant of the framework, for clients that want them all.

#include "Keys.h"

// Command protocol: commands, senders, results, errors, notifications
#include "ConfigManagerCmdId.h"
#include "ConfigManagerNotifId.h"
#include "ErrorId.h"
#include "ResultId.h"
#include "ServiceId.h"

// Sub-commands and notification actions of the handlers
#include "BrailleTableCmdId.h"
#include "EmbosserConfActionId.h"
#include "EmbosserheadActionId.h"
#include "LayoutActionId.h"
#include "LayoutCmdId.h"
#include "PrintActionId.h"
#include "PrintCmdId.h"
#include "SslActionId.h"
#include "SslCmdId.h"
#include "SystemInfoCmdId.h"
#include "SystemOptionsCmdId.h"
#include "UserPaperActionId.h"
#include "UserPaperCmdId.h"

// Peer services: state handler, error handler, service errors
#include "ErrorHandlerCmdId.h"
#include "ErrorHandlerNotifId.h"
#include "ErrorReturn.h"
#include "ServiceErrorId.h"
#include "StateHandlerCmdId.h"
#include "StateHandlerNotifId.h"
#include "StateId.h"

// Machine configuration and parameter ids (their texts are catalog parameter names)
#include "DoubleValueParamId.h"
#include "EmbosserConfiguration.h"
#include "IntValueDeltaParamId.h"
#include "IntValueParamId.h"
#include "ReleaseTimeId.h"
#include "SensorStateId.h"
#include "SensorValueId.h"

// Escape sequences
#include "ESC_C.h"
#include "ESC_D.h"
#include "EscapeTypes.h"
