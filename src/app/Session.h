#pragma once
// The check still includes the session by its former header.
#include "ConfigSession.h"
#include "Ports.h"
