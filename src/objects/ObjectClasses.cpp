#include "objects/ObjectClasses.h"

#include "document/Card.h"
#include "document/Control.h"
#include "document/Replacement.h"
#include "document/Template.h"
#include "objects/BarCode.h"
#include "objects/Comb.h"
#include "objects/Ellipse.h"
#include "objects/Grid.h"
#include "objects/Headline.h"
#include "objects/Line.h"
#include "objects/Picture.h"
#include "objects/RichText.h"
#include "objects/RoundedRectangle.h"
#include "storage/Stored.h"

void RegisterDocumentClasses() {
    RegisterStorageClasses();
    TClassRegistry& registry = TClassRegistry::Instance();
    registry.Register<TCard>();
    registry.Register<TCardPage>();
    registry.Register<TCardPanel>();
    registry.Register<TRichTextObject>();
    registry.Register<TPictureObject>();
    registry.Register<TLineObject>();
    registry.Register<TRectangleObject>();
    registry.Register<TRRectangleObject>();
    registry.Register<TEllipseObject>();
    registry.Register<TBarCodeObject>();
    registry.Register<TCombObject>();
    registry.Register<TGridObject>();
    registry.Register<TFieldObject>();
    registry.Register<TPersonalizedText>();
    registry.Register<TDatabaseText>();
    registry.Register<TFieldObjectTable>();
    registry.Register<TTemplate>();
    registry.Register<TTemplateTable>();
    registry.Register<THeadlineObject>();
    registry.RegisterAlias(THeadlineObject::LegacyName, StoredClassOf<THeadlineObject>());
}
