<!-- What every published patent vocabulary needs from our XML DTDs to be shown: the
     named characters, the notations of the drawings and in-line objects documents
     declare as entities, and the attribute defaults the stylesheets rely on.

     The content models are not declared: documents are shown, not validated, and a
     non-validating parser takes only entities, notations and attribute defaults from a
     DTD. So one DTD per family serves every version the family published. -->

<!ENTITY % xml-entities SYSTEM "xml-entities.ent">
%xml-entities;

<!-- Image and object formats named by NDATA entities. -->
<!NOTATION TIF  SYSTEM "image/tiff">
<!NOTATION TIFF SYSTEM "image/tiff">
<!NOTATION tif  SYSTEM "image/tiff">
<!NOTATION JPG  SYSTEM "image/jpeg">
<!NOTATION JPEG SYSTEM "image/jpeg">
<!NOTATION jpg  SYSTEM "image/jpeg">
<!NOTATION GIF  SYSTEM "image/gif">
<!NOTATION PNG  SYSTEM "image/png">
<!NOTATION BMP  SYSTEM "image/bmp">
<!NOTATION PDF  SYSTEM "application/pdf">
<!NOTATION EPS  SYSTEM "application/postscript">
<!NOTATION SVG  SYSTEM "image/svg+xml">
<!NOTATION CDX  SYSTEM "chemical/x-cdx">
<!NOTATION MOL  SYSTEM "chemical/x-mdl-molfile">
<!NOTATION CHM  SYSTEM "chemical/x-chemdraw">
<!NOTATION NB   SYSTEM "application/vnd.wolfram.nb">
<!NOTATION XML  SYSTEM "application/xml">

<!-- MathML written without a namespace declaration is MathML: browsers lay it out only
     in its namespace. -->
<!ATTLIST math xmlns CDATA #FIXED "http://www.w3.org/1998/Math/MathML">
