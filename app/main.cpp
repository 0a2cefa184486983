#include "app/CautorunApp.h"

int main(int argc, char** argv) {
    CautorunApp app;
    return app.Run(argc, argv);
}
