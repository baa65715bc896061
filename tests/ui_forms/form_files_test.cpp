// The two window descriptions in ui/, read through the toolkit's reader.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "flash/control_data.h"
#include "toolkit/core/form_description.h"
#include "toolkit/core/layout.h"

namespace {

using toolkit::FormNode;
using toolkit::FormPictureKind;

FormNode ReadForm(const std::string& fileName) {
    std::string path = std::string(PROJECT_SOURCE_ROOT) + "/ui/" + fileName;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    std::stringstream text;
    text << in.rdbuf();
    return toolkit::ParseFormDescription(text.str());
}

// Every component below the root as "parent/name:class", depth first, in
// description order.
void Flatten(const FormNode& node, std::vector<std::string>& out) {
    for (const FormNode& child : node.Children) {
        out.push_back(node.Name + "/" + child.Name + ":" + child.ClassName);
        Flatten(child, out);
    }
}

// Every On... property of the tree as component.event=handler.
void CollectHandlers(const FormNode& node, std::vector<std::string>& out) {
    for (const auto& property : node.Properties) {
        if (property.Name.rfind("On", 0) == 0)
            out.push_back(node.Name + "." + property.Name + "=" + node.Identifier(property.Name));
    }
    for (const FormNode& child : node.Children) CollectHandlers(child, out);
}

toolkit::Bounds StoredBounds(const FormNode& node) {
    return {node.Integer("Left"), node.Integer("Top"), node.Integer("Width"), node.Integer("Height")};
}

toolkit::Align AlignOf(const FormNode& node) {
    static const std::map<std::string, toolkit::Align> names{
        {"alNone", toolkit::Align::alNone},     {"alTop", toolkit::Align::alTop},
        {"alBottom", toolkit::Align::alBottom}, {"alLeft", toolkit::Align::alLeft},
        {"alRight", toolkit::Align::alRight},   {"alClient", toolkit::Align::alClient}};
    if (!node.FindProperty("Align")) return toolkit::Align::alNone;
    return names.at(node.Identifier("Align"));
}

// Lays out the visual children of a node in a client area of the given size.
std::map<std::string, toolkit::Bounds> LayOut(const FormNode& parent, int width, int height) {
    std::vector<toolkit::LayoutChild> children;
    std::vector<std::string> names;
    for (const FormNode& child : parent.Children) {
        if (!child.FindProperty("Left")) continue;  // not a visual component
        toolkit::LayoutChild layoutChild;
        layoutChild.Stored = StoredBounds(child);
        layoutChild.Alignment = AlignOf(child);
        if (child.FindProperty("Constraints.MinWidth"))
            layoutChild.Constraints.MinWidth = child.Integer("Constraints.MinWidth");
        if (child.FindProperty("Constraints.MinHeight"))
            layoutChild.Constraints.MinHeight = child.Integer("Constraints.MinHeight");
        children.push_back(layoutChild);
        names.push_back(child.Name);
    }
    std::vector<toolkit::Bounds> placed = toolkit::AlignChildren(width, height, children);
    std::map<std::string, toolkit::Bounds> result;
    for (std::size_t i = 0; i < names.size(); ++i) result[names[i]] = placed[i];
    return result;
}

TEST(PlayerFormDescription, ComponentTreeInPaintingOrder) {
    FormNode form = ReadForm("Playerform_unit.form");
    EXPECT_EQ(form.Name, "PlayerForm");
    EXPECT_EQ(form.ClassName, "TPlayerForm");
    std::vector<std::string> tree;
    Flatten(form, tree);
    EXPECT_EQ(tree, (std::vector<std::string>{
                        "PlayerForm/TitlePanel:TPanel", "TitlePanel/TitleImage:TImage", "TitlePanel/Image3:TImage",
                        "TitlePanel/Image4:TImage", "TitlePanel/Image5:TImage", "TitlePanel/TitleLabel:TLabel",
                        "TitlePanel/Panel1:TPanel", "Panel1/Image2:TImage", "Panel1/MinimizeButton:TImage",
                        "Panel1/MaximizeButton:TImage", "Panel1/CloseButton:TImage", "PlayerForm/BackPanel:TPanel",
                        "BackPanel/Image1:TImage", "BackPanel/FlashPlayer:TShockwaveFlash",
                        "PlayerForm/IconList:TImageList"}));
}

TEST(PlayerFormDescription, WindowProperties) {
    FormNode form = ReadForm("Playerform_unit.form");
    EXPECT_EQ(form.Integer("Left"), 234);
    EXPECT_EQ(form.Integer("Top"), 233);
    EXPECT_EQ(form.Integer("ClientWidth"), 956);
    EXPECT_EQ(form.Integer("ClientHeight"), 622);
    EXPECT_EQ(form.String("Caption"), "PlayerForm");
    EXPECT_EQ(form.Identifier("BorderStyle"), "bsNone");
    EXPECT_TRUE(form.Set("BorderIcons").empty());
    EXPECT_EQ(form.Identifier("Color"), "clWindow");
    EXPECT_TRUE(form.Boolean("TransparentColor"));
    // #FE0001 as a COLORREF: 0x00BBGGRR.
    EXPECT_EQ(form.Integer("TransparentColorValue"), 0x000100FE);
    EXPECT_FALSE(form.Boolean("AlphaBlend"));
    EXPECT_FALSE(form.Boolean("Ctl3D"));
    EXPECT_EQ(form.String("Font.Name"), "MS Sans Serif");
    EXPECT_EQ(form.Integer("Font.Height"), -11);
    EXPECT_EQ(form.Identifier("Font.Color"), "clWindowText");
    EXPECT_EQ(form.Identifier("Font.Charset"), "DEFAULT_CHARSET");
    EXPECT_TRUE(form.Set("Font.Style").empty());
    EXPECT_EQ(form.Integer("PixelsPerInch"), 96);
    EXPECT_EQ(form.Integer("TextHeight"), 13);
    EXPECT_FALSE(form.Boolean("OldCreateOrder"));

    const FormNode& label = *form.FindComponent("TitleLabel");
    EXPECT_EQ(label.String("Caption"), "TitleLabel");
    EXPECT_FALSE(label.Boolean("AutoSize"));
    EXPECT_TRUE(label.Boolean("Transparent"));
    EXPECT_FALSE(label.Boolean("ParentFont"));
    EXPECT_EQ(label.Integer("Font.Height"), -13);
    EXPECT_EQ(label.String("Font.Name"), "MS Sans Serif");
    EXPECT_EQ(label.Set("Font.Style"), std::vector<std::string>{"fsBold"});

    for (const char* panel : {"TitlePanel", "Panel1", "BackPanel"}) {
        SCOPED_TRACE(panel);
        const FormNode& node = *form.FindComponent(panel);
        EXPECT_EQ(node.Identifier("BevelOuter"), "bvNone");
        EXPECT_EQ(node.String("Caption"), "");
    }
    EXPECT_FALSE(form.FindComponent("TitlePanel")->Boolean("FullRepaint"));
    EXPECT_FALSE(form.FindComponent("Panel1")->Boolean("FullRepaint"));
    EXPECT_EQ(form.FindComponent("TitlePanel")->Integer("TabOrder"), 0);
    EXPECT_EQ(form.FindComponent("BackPanel")->Integer("TabOrder"), 1);
    EXPECT_EQ(form.FindComponent("FlashPlayer")->Integer("TabOrder"), 0);
    EXPECT_EQ(form.FindComponent("BackPanel")->Integer("Constraints.MinWidth"), 300);
    EXPECT_EQ(form.FindComponent("BackPanel")->Integer("Constraints.MinHeight"), 300);

    const FormNode& icons = *form.FindComponent("IconList");
    EXPECT_TRUE(icons.Boolean("Masked"));
    EXPECT_EQ(icons.Identifier("DrawingStyle"), "dsTransparent");
    EXPECT_EQ(icons.Identifier("BkColor"), "clNone");
    EXPECT_EQ(icons.Integer("Width"), 16);
    EXPECT_EQ(icons.Integer("Height"), 16);
}

TEST(PlayerFormDescription, GeometryAlignmentAndPictures) {
    FormNode form = ReadForm("Playerform_unit.form");
    using Row = std::tuple<const char*, toolkit::Bounds, toolkit::Align>;
    using toolkit::Align;
    const Row rows[] = {
        {"TitlePanel", {0, 0, 956, 29}, Align::alTop},      {"TitleImage", {0, 0, 833, 29}, Align::alClient},
        {"Image3", {0, 0, 10, 29}, Align::alNone},          {"Image4", {940, 0, 16, 29}, Align::alRight},
        {"Image5", {5, 1, 61, 27}, Align::alNone},          {"TitleLabel", {83, 9, 385, 16}, Align::alNone},
        {"Panel1", {833, 0, 107, 29}, Align::alRight},      {"Image2", {0, 0, 107, 29}, Align::alClient},
        {"MinimizeButton", {32, 8, 16, 16}, Align::alNone}, {"MaximizeButton", {56, 8, 16, 16}, Align::alNone},
        {"CloseButton", {80, 8, 16, 16}, Align::alNone},    {"BackPanel", {0, 29, 956, 593}, Align::alClient},
        {"Image1", {344, 256, 105, 105}, Align::alNone},    {"FlashPlayer", {0, 0, 956, 635}, Align::alNone},
    };
    for (const auto& [name, bounds, align] : rows) {
        SCOPED_TRACE(name);
        const FormNode* node = form.FindComponent(name);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(StoredBounds(*node), bounds);
        EXPECT_EQ(AlignOf(*node), align);
    }

    const std::map<std::string, std::pair<FormPictureKind, std::string>> pictures{
        {"TitleImage", {FormPictureKind::Bitmap, "TITLESTRIP"}}, {"Image2", {FormPictureKind::Bitmap, "TITLESTRIP"}},
        {"Image3", {FormPictureKind::Bitmap, "LEFTCAP"}},        {"Image4", {FormPictureKind::Bitmap, "RIGHTCAP"}},
        {"Image5", {FormPictureKind::Bitmap, "LOGO"}},           {"Image1", {FormPictureKind::Icon, "SKINLOGOICON"}},
    };
    for (const char* name : {"TitleImage", "Image2", "Image3", "Image4", "Image5", "Image1", "MinimizeButton",
                             "MaximizeButton", "CloseButton"}) {
        SCOPED_TRACE(name);
        const FormNode& node = *form.FindComponent(name);
        auto expected = pictures.find(name);
        if (expected == pictures.end()) {
            EXPECT_EQ(node.FindProperty("Picture"), nullptr);  // the buttons get theirs at start-up
            continue;
        }
        EXPECT_EQ(node.Picture("Picture").Kind, expected->second.first);
        EXPECT_EQ(node.Picture("Picture").ResourceName, expected->second.second);
    }
    for (const char* name : {"TitleImage", "Image3", "Image4", "Image5"})
        EXPECT_TRUE(form.FindComponent(name)->Boolean("AutoSize")) << name;
    EXPECT_TRUE(form.FindComponent("TitleImage")->Boolean("Stretch"));
    EXPECT_TRUE(form.FindComponent("Image2")->Boolean("Stretch"));
    EXPECT_EQ(form.FindComponent("Image1")->FindProperty("Stretch"), nullptr);

    const FormNode& icons = *form.FindComponent("IconList");
    EXPECT_EQ(icons.Picture("Bitmap").ResourceName, "ICONLIST");
    EXPECT_EQ(icons.Picture("Mask").ResourceName, "ICONLIST_MASK");
}

TEST(PlayerFormDescription, EveryHandlerBinding) {
    FormNode form = ReadForm("Playerform_unit.form");
    std::vector<std::string> handlers;
    CollectHandlers(form, handlers);
    EXPECT_EQ(handlers, (std::vector<std::string>{
                            "PlayerForm.OnCreate=FormCreate",
                            "PlayerForm.OnResize=FormResize",
                            "TitlePanel.OnMouseDown=TitlePanelMouseDown",
                            "TitleImage.OnMouseDown=TitleImageMouseDown",
                            "Image5.OnMouseDown=TitleLabelMouseDown",
                            "TitleLabel.OnMouseDown=TitleLabelMouseDown",
                            "Image2.OnMouseMove=Image2MouseMove",
                            "MinimizeButton.OnClick=MinimizeButtonClick",
                            "MinimizeButton.OnMouseMove=MinimizeButtonMouseMove",
                            "MaximizeButton.OnClick=MaximizeButtonClick",
                            "MaximizeButton.OnMouseMove=MaximizeButtonMouseMove",
                            "CloseButton.OnClick=CloseButtonClick",
                            "CloseButton.OnMouseMove=CloseButtonMouseMove",
                            "BackPanel.OnExit=BackPanelExit",
                            "BackPanel.OnMouseDown=BackPanelMouseDown",
                            "BackPanel.OnMouseMove=BackPanelMouseMove",
                            "FlashPlayer.OnFlashCall=FlashPlayerFlashCall",
                        }));
}

TEST(PlayerFormDescription, ControlDataIsTheDefaultState) {
    FormNode form = ReadForm("Playerform_unit.form");
    const auto& stored = form.FindComponent("FlashPlayer")->Binary("ControlData");
    EXPECT_EQ(stored, flash::BuildDefaultControlData());
    flash::ControlData data = flash::ParseControlData(stored);
    EXPECT_EQ(data.WMode(), u"Window");
}

TEST(PlayerFormDescription, AlignmentReproducesStoredBoundsAtDesignSize) {
    FormNode form = ReadForm("Playerform_unit.form");
    const FormNode& titlePanel = *form.FindChild("TitlePanel");
    const FormNode& panel1 = *titlePanel.FindChild("Panel1");
    auto top = LayOut(form, 956, 622);
    auto title = LayOut(titlePanel, top["TitlePanel"].Width, top["TitlePanel"].Height);
    auto buttons = LayOut(panel1, title["Panel1"].Width, title["Panel1"].Height);
    for (const auto* level : {&top, &title, &buttons}) {
        for (const auto& [name, bounds] : *level) {
            if (name == "FlashPlayer") continue;  // placed by the window, not by alignment
            EXPECT_EQ(bounds, StoredBounds(*form.FindComponent(name))) << name;
        }
    }

    // And at the smallest window size the button group moves in from the right.
    top = LayOut(form, 300, 329);
    title = LayOut(titlePanel, top["TitlePanel"].Width, top["TitlePanel"].Height);
    EXPECT_EQ(title["Panel1"], (toolkit::Bounds{177, 0, 107, 29}));
    EXPECT_EQ(title["Image4"], (toolkit::Bounds{284, 0, 16, 29}));
    EXPECT_EQ(top["BackPanel"], (toolkit::Bounds{0, 29, 300, 300}));
}

TEST(HandleFormDescription, WindowAndGrip) {
    FormNode form = ReadForm("Handleform_unit.form");
    EXPECT_EQ(form.Name, "HandleForm");
    EXPECT_EQ(form.ClassName, "THandleForm");
    EXPECT_EQ(form.String("Caption"), "HandleForm");
    EXPECT_EQ(form.Integer("Left"), 474);
    EXPECT_EQ(form.Integer("Top"), 441);
    EXPECT_EQ(form.Integer("ClientWidth"), 119);
    EXPECT_EQ(form.Integer("ClientHeight"), 17);
    EXPECT_EQ(form.Identifier("BorderStyle"), "bsNone");
    EXPECT_EQ(form.Identifier("FormStyle"), "fsStayOnTop");
    EXPECT_EQ(form.Identifier("Position"), "poMainFormCenter");
    EXPECT_TRUE(form.Boolean("AlphaBlend"));
    EXPECT_EQ(form.Integer("AlphaBlendValue"), 220);
    EXPECT_EQ(form.Identifier("Color"), "clBtnFace");
    EXPECT_EQ(form.String("Font.Name"), "MS Sans Serif");
    EXPECT_EQ(form.Integer("Font.Height"), -11);
    EXPECT_TRUE(form.Boolean("Visible"));
    EXPECT_FALSE(form.Boolean("OldCreateOrder"));
    EXPECT_EQ(form.Integer("PixelsPerInch"), 96);
    EXPECT_EQ(form.Integer("TextHeight"), 13);
    EXPECT_EQ(form.FindProperty("TransparentColor"), nullptr);

    ASSERT_EQ(form.Children.size(), 1u);
    const FormNode& grip = form.Children[0];
    EXPECT_EQ(grip.Name, "Image1");
    EXPECT_EQ(grip.ClassName, "TImage");
    EXPECT_EQ(StoredBounds(grip), (toolkit::Bounds{107, 0, 12, 17}));
    EXPECT_EQ(AlignOf(grip), toolkit::Align::alRight);
    EXPECT_TRUE(grip.Boolean("AutoSize"));
    EXPECT_EQ(grip.Picture("Picture").Kind, FormPictureKind::Bitmap);
    EXPECT_EQ(grip.Picture("Picture").ResourceName, "GRIP");

    std::vector<std::string> handlers;
    CollectHandlers(form, handlers);
    EXPECT_EQ(handlers,
              (std::vector<std::string>{"Image1.OnMouseDown=Image1MouseDown", "Image1.OnMouseMove=Image1MouseMove"}));

    // At the run-time size of 12 x 12 the grip picture fills the window.
    auto placed = LayOut(form, 12, 12);
    EXPECT_EQ(placed["Image1"], (toolkit::Bounds{0, 0, 12, 12}));
}

}  // namespace
