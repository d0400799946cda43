#pragma once
// Field descriptors: one object per reflected field of a class T, held in a static list per class.
// A class's Save, Load and DrawEditor walk its list in order, and that order is its XML element order.
#include "ArchiveFwd.h"
#include "FieldEditors.h"
#include "LevelArchive.h"
#include "Math.h"
#include "MetaHooks.h"

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// The next field id of the program-wide running counter (the editor's widget identifier).
std::uint32_t NextFieldId();
// True when v >= first and, unless last < first (an open range), v <= last.
bool IsVersionInRange(std::uint32_t version, std::uint32_t firstVersion, std::uint32_t lastVersion);

// Everything of a descriptor but its name, value access and kind. Minimum = maximum = 0: no clamp.
struct FieldOptions
{
    std::uint32_t firstVersion = 0;
    std::uint32_t lastVersion = 0;
    bool save = true;
    bool edit = true;
    float step = 1.0f;
    float minimum = 0.0f;
    float maximum = 0.0f;
};

// The options of a field saved and edited from firstVersion on, with its drag step and clamp.
inline FieldOptions FromVersion(std::uint32_t firstVersion, float step = 1.0f, float minimum = 0.0f,
                                float maximum = 0.0f)
{
    FieldOptions options;
    options.firstVersion = firstVersion;
    options.step = step;
    options.minimum = minimum;
    options.maximum = maximum;
    return options;
}

// One reflected field of T (T derives from VersionedClass). Out of its version range it does nothing.
template <typename T> class Metadata
{
  public:
    Metadata(std::string name_, FieldOptions options_)
        : name(std::move(name_)), fieldId(NextFieldId()), options(options_)
    {
    }
    virtual ~Metadata() = default;
    Metadata(const Metadata&) = delete;
    Metadata& operator=(const Metadata&) = delete;

    // Writes the field's elements when saved and in range.
    virtual void Save(LevelOArchive& archive, const T& object) const = 0;
    // Reads the field's elements and passes the value to the setter when saved and in range.
    virtual void Load(LevelIArchive& archive, T& object) const = 0;
    // Draws the field's widget under its field id when editable and in range.
    virtual void DrawEditor(T& object) const = 0;

    const std::string& GetName() const { return name; }
    std::uint32_t GetFieldId() const { return fieldId; }
    const FieldOptions& GetOptions() const { return options; }
    bool InRange(const T& object) const
    {
        return IsVersionInRange(object.GetDataVersion(), options.firstVersion, options.lastVersion);
    }
    bool Saves(const T& object) const { return options.save && InRange(object); }
    bool Edits(const T& object) const { return options.edit && InRange(object); }

  protected:
    std::string name;
    std::uint32_t fieldId;
    FieldOptions options;
};

// A class's descriptor list.
template <typename T> using DescriptorList = std::vector<std::unique_ptr<Metadata<T>>>;

// Save, Load and DrawEditor of every descriptor of a list, in list order.
template <typename T>
void SaveFields(const DescriptorList<T>& fields, LevelOArchive& archive, const T& object)
{
    for (const auto& field : fields)
        field->Save(archive, object);
}
template <typename T> void LoadFields(const DescriptorList<T>& fields, LevelIArchive& archive, T& object)
{
    for (const auto& field : fields)
        field->Load(archive, object);
}
template <typename T> void DrawFieldEditors(const DescriptorList<T>& fields, T& object)
{
    for (const auto& field : fields)
        field->DrawEditor(object);
}

// A descriptor of a single value read and written through a getter and a setter.
template <typename T, typename V> class MetaValue : public Metadata<T>
{
  public:
    using Getter = std::function<V(const T&)>;
    using Setter = std::function<void(T&, const V&)>;

    MetaValue(std::string name_, FieldOptions options_, Getter getter_, Setter setter_)
        : Metadata<T>(std::move(name_), options_), getter(std::move(getter_)), setter(std::move(setter_))
    {
    }

  protected:
    Getter getter;
    Setter setter;
};

// A bool: one element (0 or 1); a check box.
template <typename T> class Metabool : public MetaValue<T, bool>
{
  public:
    using MetaValue<T, bool>::MetaValue;

    void Save(LevelOArchive& archive, const T& object) const override
    {
        if (this->Saves(object))
            WriteField(archive, this->name.c_str(), this->getter(object));
    }
    void Load(LevelIArchive& archive, T& object) const override
    {
        if (!this->Saves(object))
            return;
        bool value = false;
        ReadField(archive, this->name.c_str(), value);
        this->setter(object, value);
    }
    void DrawEditor(T& object) const override
    {
        if (!this->Edits(object))
            return;
        PushFieldId(this->fieldId);
        bool value = this->getter(object);
        if (EditBool(this->name.c_str(), value))
            this->setter(object, value);
        PopFieldId();
    }
};

// Truncates an edited whole number toward zero, within the range of the integer type.
template <typename I> I TruncateToWhole(float value)
{
    if (std::isnan(value))
        return I{0};
    const float low = static_cast<float>(std::numeric_limits<I>::min());
    const float high = static_cast<float>(std::numeric_limits<I>::max());
    if (value <= low)
        return std::numeric_limits<I>::min();
    if (value >= high)
        return std::numeric_limits<I>::max();
    return static_cast<I>(std::trunc(value));
}

// A whole number (std::int32_t or std::uint32_t): one element; a float drag "%.0f" truncated toward zero.
template <typename T, typename I> class MetaWhole : public MetaValue<T, I>
{
  public:
    using MetaValue<T, I>::MetaValue;

    void Save(LevelOArchive& archive, const T& object) const override
    {
        if (this->Saves(object))
            WriteField(archive, this->name.c_str(), this->getter(object));
    }
    void Load(LevelIArchive& archive, T& object) const override
    {
        if (!this->Saves(object))
            return;
        I value{};
        ReadField(archive, this->name.c_str(), value);
        this->setter(object, value);
    }
    void DrawEditor(T& object) const override
    {
        if (!this->Edits(object))
            return;
        PushFieldId(this->fieldId);
        // The integer kinds clamp to whole bounds.
        const float minimum = std::trunc(this->options.minimum);
        const float maximum = std::trunc(this->options.maximum);
        float value = static_cast<float>(this->getter(object));
        if (EditWholeNumber(this->name.c_str(), value, this->options.step, minimum, maximum))
            this->setter(object, TruncateToWhole<I>(value));
        PopFieldId();
    }
};

template <typename T> using Metaint = MetaWhole<T, std::int32_t>;
template <typename T> using Metaunsigned = MetaWhole<T, std::uint32_t>;

// A float: one element; a float drag "%.3f".
template <typename T> class Metafloat : public MetaValue<T, float>
{
  public:
    using MetaValue<T, float>::MetaValue;

    void Save(LevelOArchive& archive, const T& object) const override
    {
        if (this->Saves(object))
            WriteField(archive, this->name.c_str(), this->getter(object));
    }
    void Load(LevelIArchive& archive, T& object) const override
    {
        if (!this->Saves(object))
            return;
        float value = 0.0f;
        ReadField(archive, this->name.c_str(), value);
        this->setter(object, value);
    }
    void DrawEditor(T& object) const override
    {
        if (!this->Edits(object))
            return;
        PushFieldId(this->fieldId);
        float value = this->getter(object);
        if (EditFloat(this->name.c_str(), value, this->options.step, this->options.minimum,
                      this->options.maximum))
            this->setter(object, value);
        PopFieldId();
    }
};

// A Vector2: two sibling elements of the field's name, x then y; a two-component drag.
template <typename T> class MetaVector2 : public MetaValue<T, Vector2>
{
  public:
    using MetaValue<T, Vector2>::MetaValue;

    void Save(LevelOArchive& archive, const T& object) const override
    {
        if (!this->Saves(object))
            return;
        const Vector2 value = this->getter(object);
        WriteField(archive, this->name.c_str(), value.x);
        WriteField(archive, this->name.c_str(), value.y);
    }
    void Load(LevelIArchive& archive, T& object) const override
    {
        if (!this->Saves(object))
            return;
        Vector2 value;
        ReadField(archive, this->name.c_str(), value.x);
        ReadField(archive, this->name.c_str(), value.y);
        this->setter(object, value);
    }
    void DrawEditor(T& object) const override
    {
        if (!this->Edits(object))
            return;
        PushFieldId(this->fieldId);
        Vector2 value = this->getter(object);
        if (EditVector2(this->name.c_str(), value, this->options.step, this->options.minimum,
                        this->options.maximum))
            this->setter(object, value);
        PopFieldId();
    }
};

// A Vector3: three sibling elements of the field's name, x, y, z; a three-component drag.
template <typename T> class MetaVector3 : public MetaValue<T, Vector3>
{
  public:
    using MetaValue<T, Vector3>::MetaValue;

    void Save(LevelOArchive& archive, const T& object) const override
    {
        if (!this->Saves(object))
            return;
        const Vector3 value = this->getter(object);
        WriteField(archive, this->name.c_str(), value.x);
        WriteField(archive, this->name.c_str(), value.y);
        WriteField(archive, this->name.c_str(), value.z);
    }
    void Load(LevelIArchive& archive, T& object) const override
    {
        if (!this->Saves(object))
            return;
        Vector3 value;
        ReadField(archive, this->name.c_str(), value.x);
        ReadField(archive, this->name.c_str(), value.y);
        ReadField(archive, this->name.c_str(), value.z);
        this->setter(object, value);
    }
    void DrawEditor(T& object) const override
    {
        if (!this->Edits(object))
            return;
        PushFieldId(this->fieldId);
        Vector3 value = this->getter(object);
        if (EditVector3(this->name.c_str(), value, this->options.step, this->options.minimum,
                        this->options.maximum))
            this->setter(object, value);
        PopFieldId();
    }
};

// An RGBA colour in 0..1: four sibling elements, red, green, blue, alpha; a colour editor with alpha.
template <typename T> class MetaColor : public MetaValue<T, Vector4>
{
  public:
    using MetaValue<T, Vector4>::MetaValue;

    void Save(LevelOArchive& archive, const T& object) const override
    {
        if (!this->Saves(object))
            return;
        const Vector4 value = this->getter(object);
        WriteField(archive, this->name.c_str(), value.x);
        WriteField(archive, this->name.c_str(), value.y);
        WriteField(archive, this->name.c_str(), value.z);
        WriteField(archive, this->name.c_str(), value.w);
    }
    void Load(LevelIArchive& archive, T& object) const override
    {
        if (!this->Saves(object))
            return;
        Vector4 value;
        ReadField(archive, this->name.c_str(), value.x);
        ReadField(archive, this->name.c_str(), value.y);
        ReadField(archive, this->name.c_str(), value.z);
        ReadField(archive, this->name.c_str(), value.w);
        this->setter(object, value);
    }
    void DrawEditor(T& object) const override
    {
        if (!this->Edits(object))
            return;
        PushFieldId(this->fieldId);
        Vector4 value = this->getter(object);
        if (EditColor(this->name.c_str(), value))
            this->setter(object, value);
        PopFieldId();
    }
};

// A string: one element; a single-line text input over a 512-byte buffer.
template <typename T> class MetaText : public MetaValue<T, std::string>
{
  public:
    using MetaValue<T, std::string>::MetaValue;

    void Save(LevelOArchive& archive, const T& object) const override
    {
        if (this->Saves(object))
            WriteField(archive, this->name.c_str(), this->getter(object));
    }
    void Load(LevelIArchive& archive, T& object) const override
    {
        if (!this->Saves(object))
            return;
        std::string value;
        ReadField(archive, this->name.c_str(), value);
        this->setter(object, value);
    }
    void DrawEditor(T& object) const override
    {
        if (!this->Edits(object))
            return;
        PushFieldId(this->fieldId);
        std::string value = this->getter(object);
        if (EditText(this->name.c_str(), value))
            this->setter(object, value);
        PopFieldId();
    }
};

// The element every texture field is saved under, whatever the field's name.
inline constexpr const char* kTextureNameElement = "Texture_Name";

// A texture, saved by name: one element "Texture_Name"; the editor combo "Change Texture" comes from the
// MetaHooks::editTexture hook. The getter gives the bound texture's name, the setter binds a name.
template <typename T> class MetaTexture : public MetaValue<T, std::string>
{
  public:
    using MetaValue<T, std::string>::MetaValue;

    void Save(LevelOArchive& archive, const T& object) const override
    {
        if (this->Saves(object))
            WriteField(archive, kTextureNameElement, this->getter(object));
    }
    void Load(LevelIArchive& archive, T& object) const override
    {
        if (!this->Saves(object))
            return;
        std::string textureName;
        ReadField(archive, kTextureNameElement, textureName);
        this->setter(object, textureName);
    }
    void DrawEditor(T& object) const override
    {
        if (!this->Edits(object) || !MetaHooks::editTexture)
            return;
        PushFieldId(this->fieldId);
        std::string textureName = this->getter(object);
        if (MetaHooks::editTexture(this->name, textureName))
            this->setter(object, textureName);
        PopFieldId();
    }
};

// A Material: the material block and the material editor, both from graphics through MetaHooks. The
// getter reads the material for saving; the accessor gives the one loading and editing change in place.
template <typename T> class MetaMaterial : public Metadata<T>
{
  public:
    using Getter = std::function<const Material&(const T&)>;
    using Accessor = std::function<Material&(T&)>;

    MetaMaterial(std::string name_, FieldOptions options_, Getter getter_, Accessor accessor_)
        : Metadata<T>(std::move(name_), options_), getter(std::move(getter_)), accessor(std::move(accessor_))
    {
    }

    // Without the hooks a level would be written or read without its material blocks and then be
    // refused by a process that has them, so both throw instead.
    void Save(LevelOArchive& archive, const T& object) const override
    {
        if (!this->Saves(object))
            return;
        if (!MetaHooks::saveMaterial)
            throw std::logic_error("the material field '" + this->name + "' cannot be saved: " + kNoHook);
        MetaHooks::saveMaterial(archive, getter(object));
    }
    void Load(LevelIArchive& archive, T& object) const override
    {
        if (!this->Saves(object))
            return;
        if (!MetaHooks::loadMaterial)
            FailElement(archive, this->name.c_str(), std::string("the material cannot be read: ") + kNoHook);
        MetaHooks::loadMaterial(archive, accessor(object));
    }
    void DrawEditor(T& object) const override
    {
        if (!this->Edits(object) || !MetaHooks::editMaterial)
            return;
        PushFieldId(this->fieldId);
        MetaHooks::editMaterial(accessor(object));
        PopFieldId();
    }

  private:
    static constexpr const char* kNoHook = "no material hook is installed";

    Getter getter;
    Accessor accessor;
};

// One action binding of a BehaviorInput: nothing in XML (the component saves its bindings itself); the
// binding editor comes from input through MetaHooks::editInput.
template <typename T> class MetaInput : public Metadata<T>
{
  public:
    MetaInput(std::string name_, FieldOptions options_, std::uint32_t bindingIndex_)
        : Metadata<T>(std::move(name_), options_), bindingIndex(bindingIndex_)
    {
    }

    void Save(LevelOArchive&, const T&) const override {}
    void Load(LevelIArchive&, T&) const override {}
    void DrawEditor(T& object) const override
    {
        if (!this->Edits(object) || !MetaHooks::editInput)
            return;
        PushFieldId(this->fieldId);
        MetaHooks::editInput(object, bindingIndex, this->name, this->fieldId);
        PopFieldId();
    }

    std::uint32_t GetBindingIndex() const { return bindingIndex; }

  private:
    std::uint32_t bindingIndex;
};

// The behaviour machine's set: nothing in XML (the component saves itself); the combo "Change Behavior"
// comes from behaviour through MetaHooks::editBehavior. The getter gives the current set's name; the
// setter rebuilds the machine with the chosen one.
template <typename T> class MetaCCSM : public MetaValue<T, std::string>
{
  public:
    using MetaValue<T, std::string>::MetaValue;

    void Save(LevelOArchive&, const T&) const override {}
    void Load(LevelIArchive&, T&) const override {}
    void DrawEditor(T& object) const override
    {
        if (!this->Edits(object) || !MetaHooks::editBehavior)
            return;
        PushFieldId(this->fieldId);
        std::string behaviorName = this->getter(object);
        if (MetaHooks::editBehavior(this->name, behaviorName))
            this->setter(object, behaviorName);
        PopFieldId();
    }
};
