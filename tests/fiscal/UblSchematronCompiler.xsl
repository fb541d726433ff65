<?xml version="1.0" encoding="UTF-8"?>
<!--
  Turns a schematron schema (queryBinding xslt2) into an XSLT 2.0 stylesheet that checks a
  document and writes one <failed id="…" location="…">message</failed> per assertion that does
  not hold (or report that does), inside <failures>. Covers what the e-invoice rules use:
  ns, top-level xsl:function, pattern, rule (first matching rule of a pattern wins), let,
  assert, report, value-of and name in messages, and include of a file holding a pattern.
-->
<xsl:stylesheet version="2.0"
    xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
    xmlns:axsl="urn:zodra:generated-xslt"
    xmlns:sch="http://purl.oclc.org/dsdl/schematron"
    exclude-result-prefixes="sch">

  <xsl:namespace-alias stylesheet-prefix="axsl" result-prefix="xsl"/>
  <xsl:output method="xml" indent="yes"/>

  <xsl:template match="/sch:schema">
    <xsl:variable name="patterns" as="element(sch:pattern)*"
        select="sch:pattern | (for $i in sch:include return document($i/@href, $i)/sch:pattern)"/>
    <axsl:stylesheet version="2.0">
      <xsl:for-each select="sch:ns">
        <xsl:namespace name="{@prefix}" select="string(@uri)"/>
      </xsl:for-each>
      <xsl:copy-of select="*[namespace-uri() = 'http://www.w3.org/1999/XSL/Transform']"/>
      <axsl:template match="/">
        <failures>
          <xsl:for-each select="$patterns">
            <axsl:apply-templates select="/" mode="p{position()}"/>
          </xsl:for-each>
        </failures>
      </axsl:template>
      <xsl:for-each select="$patterns">
        <xsl:variable name="mode" select="concat('p', position())"/>
        <xsl:variable name="count" select="count(sch:rule)"/>
        <xsl:for-each select="sch:rule">
          <axsl:template match="{@context}" mode="{$mode}" priority="{$count - position() + 1}">
            <xsl:for-each select="sch:let">
              <axsl:variable name="{@name}" select="{@value}"/>
            </xsl:for-each>
            <xsl:for-each select="sch:assert | sch:report">
              <axsl:if test="{if (self::sch:assert) then concat('not(', @test, ')') else @test}">
                <failed id="{@id}" location="{{path()}}">
                  <xsl:apply-templates select="node()" mode="message"/>
                </failed>
              </axsl:if>
            </xsl:for-each>
            <axsl:apply-templates select="*" mode="{$mode}"/>
          </axsl:template>
        </xsl:for-each>
        <axsl:template match="*" mode="{$mode}" priority="-10">
          <axsl:apply-templates select="*" mode="{$mode}"/>
        </axsl:template>
        <axsl:template match="/" mode="{$mode}" priority="-10">
          <axsl:apply-templates select="*" mode="{$mode}"/>
        </axsl:template>
      </xsl:for-each>
    </axsl:stylesheet>
  </xsl:template>

  <xsl:template match="text()" mode="message">
    <axsl:text><xsl:value-of select="normalize-space(.)"/><xsl:text> </xsl:text></axsl:text>
  </xsl:template>
  <xsl:template match="sch:value-of" mode="message">
    <axsl:value-of select="{@select}"/>
  </xsl:template>
  <xsl:template match="sch:name" mode="message">
    <axsl:value-of select="name({(@path, '.')[1]})"/>
  </xsl:template>
</xsl:stylesheet>
