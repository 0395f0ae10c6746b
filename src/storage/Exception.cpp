#include "storage/Exception.h"

Exception::Exception(const QString& message) : FMessage(message), FUtf8(message.toUtf8()) {}
