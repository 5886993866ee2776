// The class library: objects, persistent objects with published properties,
// components, collections, string lists, exceptions and formatting.
//
// Everything is in torvex::classes and is also visible in namespace torvex,
// so that the engine and the components name the classes plainly.
#pragma once

#include "platform/classes/Component.h"
#include "platform/classes/Persistent.h"
#include "platform/classes/StringList.h"
#include "platform/classes/SysUtils.h"

namespace torvex {

using classes::TObject;
using classes::TPersistent;
using classes::TPublished;
using classes::TPropInfo;
using classes::TPropValue;
using classes::TTypeKind;
using classes::TEnumTypeInfo;
using classes::EnumName;
using classes::TComponent;
using classes::TComponentState;
using classes::TComponentStateFlag;
using classes::csLoading;
using classes::csReading;
using classes::csWriting;
using classes::csDestroying;
using classes::csDesigning;
using classes::TCollection;
using classes::TCollectionItem;
using classes::TCollectionOf;
using classes::TStringList;
using classes::Exception;
using classes::EConvertError;
using classes::EFCreateError;
using classes::EStringListError;
using classes::TFormatSettings;
using classes::DefaultFormatSettings;
using classes::Format;
using classes::FormatFloat;
using classes::FloatToStr;
using classes::IntToStr;
using classes::IntToHex;
using classes::StrToInt;
using classes::StrToIntDef;
using classes::AnsiCompareText;
using classes::AnsiSameText;

}  // namespace torvex
