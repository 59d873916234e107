#include "bar/bar_window.h"
#include "config/options_window.h"
#include "core/window_registry.h"
#include "tests/support/test_host.h"

Form7 *openOptions() {
    Forms::get<Form1>();
    Form7 *options = Forms::get<Form7>();
    options->Show();
    options->SetFocus();
    options->centre();
    return options;
}
