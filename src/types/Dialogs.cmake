# The publication-type dialogs (widgets) and the type and format pictures.
qdx_add_library(qdx_types_dialogs
    SOURCES
        BannerWidthForm.cpp BannerWidthForm.h
        BusinessCardTypeForm.cpp BusinessCardTypeForm.h
        CardTypeForm.cpp CardTypeForm.h
        ConvertCardTypeForm.cpp ConvertCardTypeForm.h
        DialogSupport.cpp DialogSupport.h
        TypePictures.cpp TypePictures.h
    PUBLIC_LINK qdx_document Qt6::Widgets)

# The new-publication wizard: it builds publications and chooses label databases.
qdx_add_library(qdx_wizard_dialogs
    SOURCES
        SelectFieldsForm.cpp SelectFieldsForm.h
        WizardForm.cpp WizardForm.h
    PUBLIC_LINK qdx_types_dialogs qdx_objects_dialogs qdx_merge_dialogs Qt6::Widgets)
