# The "Open Template" dialog (widgets), beside the template index it shows.
qdx_add_library(qdx_document_dialogs
    SOURCES
        OpenTemp.cpp OpenTemp.h
    PUBLIC_LINK qdx_types_dialogs)
