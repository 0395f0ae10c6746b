# The publication-type dialogs (widgets) and the type and format pictures.
qdx_add_library(qdx_types_dialogs
    SOURCES
        BannerWidthForm.cpp BannerWidthForm.h
        BusinessCardTypeForm.cpp BusinessCardTypeForm.h
        CardTypeForm.cpp CardTypeForm.h
        ConvertCardTypeForm.cpp ConvertCardTypeForm.h
        DialogSupport.cpp DialogSupport.h
        TypePictures.cpp TypePictures.h
    PUBLIC_LINK qdx_objects Qt6::Widgets)
