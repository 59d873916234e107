#include "bar/bar_window.h"
#include "config/options_window.h"
#include "core/window_registry.h"
#include "tests/support/test_host.h"

Form7 *openOptions() {
    Forms::get<Form1>();
    return Forms::open<Form7>(Forms::Centred);
}
