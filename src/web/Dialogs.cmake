# The web commands' dialogs (widgets): an object's link and the pages' names.
qdx_add_library(qdx_web_dialogs
    SOURCES
        DialogButtons.h
        LinkForm.cpp LinkForm.h
        PageNameForm.cpp PageNameForm.h
    PUBLIC_LINK qdx_web Qt6::Widgets)
