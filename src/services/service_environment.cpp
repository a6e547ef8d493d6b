// Storage for the process-wide service seams.
#include "service_environment.h"

namespace tavik {

ServiceEnvironment& service_environment() {
    static ServiceEnvironment environment;
    return environment;
}

} // namespace tavik
