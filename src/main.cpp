#include "DlgHTML.h"
#include "Sendrix.h"

int main(int argc, char *argv[])
{
    // The web engine must know the preview's scheme before the application object exists.
    PrepareHtmlPreview();
    return RunProgram(argc, argv);
}
